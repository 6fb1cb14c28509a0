// The program-name table: the built-in names and the soundfont report.
#include "console/app/files/program_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/text_case.h"
#include "console/app/files/presets.h"
#include "tests/console/app/files/app_fixture.h"

namespace zt::test {
namespace {

TEST(ProgramTablefill, FillsTheBuiltInNamesWithTheirNumberText) {
  for (auto& name : programName) name.clear();
  Program_tablefill();
  EXPECT_EQ(programName[0], " 0 Acoustic Grand");
  EXPECT_EQ(programName[3], " 3 Honky-Tonk");
  EXPECT_EQ(programName[19], " 19 Church Organ");
  EXPECT_EQ(programName[21], " 21 Accoridan");
  EXPECT_EQ(programName[24], " 24 Acoustic Guitar(nylon)");
  EXPECT_EQ(programName[65], " 65 Sax");
  EXPECT_EQ(programName[77], " 77 Skakuhachi");
  EXPECT_EQ(programName[87], " 87 Lead 8 (bass+lead)");
  EXPECT_EQ(programName[103], " 103 FX 8 (sci-fi)");
  EXPECT_EQ(programName[127], " 127 Gunshot");
  std::set<std::string> distinct;
  for (int p = 0; p < 128; ++p) {
    EXPECT_EQ(Text_number(programName[p]), p);
    distinct.insert(builtinProgramNames[p]);
  }
  EXPECT_EQ(distinct.size(), 128u);
  for (int p = 128; p < kProgramNames; ++p) EXPECT_TRUE(programName[p].empty());
}

class SoundfontTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    Program_tablefill();
    consoleState.synthFound = 1;
    // Registers 1..3 play programs 12, 40 and 0.
    setRegister(1, 12, 1);
    setRegister(2, 40, 0);
    setRegister(3, 0, 1);
  }
  void setRegister(int r, int p, int on) {
    Reg_setname(r, programName[p]);
    consoleState.regButtonProgram[r] = p;
    consoleState.regOn[r] = on;
  }
  void report(const std::string& name, const std::string& bytes) {
    writeFile(kReportFile, bytes);
    Corpus_write("fuzz_soundfont", name, bytes);
  }
  ConsoleState& s = consoleState;
};

const std::string kReport =
    "Soundfont loader\r\n"
    "Bank 0: Jeux14.sf2\r\n"
    "loading...\r\n"
    "ok, 3 presets\r\n"
    "  [0] Bourdon 8  \r\n"
    "[12] Principale\r\n"
    "[19]Ripieno [grande]\r\n"
    "[300] Beyond\r\n"
    "[-1] Below\r\n"
    "an ERROR on line ten counts for nothing\r\n";

TEST_F(SoundfontTest, PresetLinesNameTheirOwnProgramNumber) {
  report("report.txt", kReport);
  Soundfont_load();

  EXPECT_EQ(programName[0], "0 Bourdon 8");
  EXPECT_EQ(programName[12], "12 Principale");
  EXPECT_EQ(programName[19], "19Ripieno grande");
  EXPECT_TRUE(programName[13].empty());
  EXPECT_TRUE(programName[1].empty());  // the built-in names are gone
  EXPECT_TRUE(programName[40].empty());
  // Every "]" line is logged trimmed, also the ones outside the table.
  EXPECT_EQ(sink.texts(DisplayKind::log),
            (std::vector<std::string>{"[0] Bourdon 8", "[12] Principale", "[19]Ripieno [grande]",
                                      "[300] Beyond", "[-1] Below"}));

  EXPECT_EQ(s.regName[1], "12 Principale");
  EXPECT_EQ(s.regProgram[1], 12);
  EXPECT_EQ(s.regName[2], "40");  // no report line: the bare number
  EXPECT_EQ(s.regProgram[2], 40);
  EXPECT_EQ(s.regName[3], "0 Bourdon 8");
  EXPECT_EQ(s.regName[4], "0 Bourdon 8");  // an empty label is program 0
  EXPECT_EQ(s.regButtonProgram[1], 12);    // stored numbers stay
  EXPECT_EQ(s.regButtonProgram[2], 40);
  EXPECT_TRUE(sink.texts(DisplayKind::status).empty());

  // The buttons show the bare numbers first, then the names.
  auto buttons = sink.of(DisplayKind::registerButton);
  ASSERT_EQ(buttons.size(), 64u);
  EXPECT_EQ(buttons[0].text.view(), "12");
  EXPECT_EQ(buttons[0].level, 100);
  EXPECT_EQ(buttons[1].level, 0);
  EXPECT_EQ(buttons[32].text.view(), "12 Principale");
  EXPECT_EQ(buttons[33].text.view(), "40");
}

TEST_F(SoundfontTest, ALoaderErrorOnTheFourthLineStopsWithTheWarning) {
  report("error.txt",
         "[5] Early one\r\nx\r\n[7] Early two\r\nLoader error: no card\r\n[12] Late\r\n");
  Soundfont_load();
  EXPECT_EQ(sink.texts(DisplayKind::status), std::vector<std::string>{kLoaderError});
  EXPECT_EQ(programName[5], "5 Early one");  // lines 1 to 3 still count
  EXPECT_EQ(programName[7], "7 Early two");
  EXPECT_TRUE(programName[12].empty());
  EXPECT_EQ(s.regName[1], "12");  // labels stay bare numbers
  EXPECT_EQ(s.regName[2], "40");
  EXPECT_EQ(sink.of(DisplayKind::registerButton).size(), 32u);
}

TEST_F(SoundfontTest, ErrorElsewhereOrAShortReportHasNoEffect) {
  report("short.txt", "ERROR\r\n[12] Principale\r\n");
  Soundfont_load();
  EXPECT_TRUE(sink.texts(DisplayKind::status).empty());
  EXPECT_EQ(s.regName[1], "12 Principale");
}

TEST_F(SoundfontTest, AMissingReportLeavesTheNamesInUse) {
  Soundfont_load();
  EXPECT_EQ(Text_strip(programName[19]), "19 Church Organ");
  EXPECT_EQ(s.regName[1], programName[12]);
  EXPECT_EQ(s.regName[3], programName[0]);
  EXPECT_TRUE(sink.texts(DisplayKind::status).empty());
}

TEST_F(SoundfontTest, AnEmptyReportLeavesBareNumbersAndAnEmptyTable) {
  report("empty.txt", "");
  Soundfont_load();
  for (auto& name : programName) EXPECT_TRUE(name.empty());
  EXPECT_EQ(s.regName[1], "12");
  EXPECT_EQ(s.regName[3], "0");
}

TEST_F(SoundfontTest, WithoutASuitableCardOnlyTheWarningIsShown) {
  s.synthFound = 0;
  report("report.txt", kReport);
  Soundfont_load();
  EXPECT_EQ(sink.texts(DisplayKind::status), std::vector<std::string>{kNoSoundCard});
  EXPECT_EQ(sink.requests.size(), 1u);
  EXPECT_EQ(programName[1], " 1 Bright Acoustic");
  EXPECT_EQ(s.regName[1], " 12 Marimba");
}

TEST_F(SoundfontTest, AReloadReplacesTheWholeTable) {
  report("report.txt", "[200] High\r\n");
  Soundfont_load();
  EXPECT_EQ(programName[200], "200 High");
  report("report2.txt", "[12] Principale\r\n");
  Soundfont_load();
  EXPECT_TRUE(programName[200].empty());
}

TEST_F(SoundfontTest, APresetSwitchKeepsProgramsThatHaveNoReportLine) {
  report("report.txt", kReport);
  Soundfont_load();
  // "Preset 0" while preset 0 is in use: save, load, re-read the report.
  Preset_save();
  Preset_load(presetName);
  Soundfont_load();
  EXPECT_EQ(s.regName[1], "12 Principale");
  EXPECT_EQ(s.regName[2], "40");
  EXPECT_EQ(s.regProgram[2], 40);
  EXPECT_EQ(s.regButtonProgram[2], 40);
}

}  // namespace
}  // namespace zt::test
