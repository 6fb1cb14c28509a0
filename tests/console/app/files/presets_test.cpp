// The preset files and "consolle.cfg" on disk: exact bytes, round trips, the
// value ranges, the controls set on loading, and saves that never lose a
// preset.
#include "console/app/files/presets.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "console/app/files/file_fields.h"
#include "console/app/files/program_names.h"
#include "console/app/files/settings_file.h"
#include "console/engine/engine_commands.h"
#include "tests/console/app/files/app_fixture.h"

namespace zt::test {
namespace {

class PresetTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    Program_tablefill();
  }
  ConsoleState& s = consoleState;

  // The requests made for the controls of register r, in order.
  std::vector<DisplayRequest> controlsOf(int r) const {
    std::vector<DisplayRequest> out;
    for (auto& q : sink.requests)
      if (q.id % 100 == r && q.id >= 1000 && q.id < 1600) out.push_back(q);
    return out;
  }
};

std::string firstLine(const std::string& bytes) { return bytes.substr(0, bytes.find("\r\n") + 2); }

const std::string kEmptyRegisterLine = " 0 ,, 0 , 0 , 0 , 0 \r\n";

TEST_F(PresetTest, WritesThePresetLinesAndTheConfigurationByteForByte) {
  Reg_setname(1, programName[0]);
  s.regOn[1] = 1;
  s.regVolume[1] = 255;
  Reg_setname(2, programName[12]);
  s.regVolume[2] = 100;
  s.regPan[2] = -1;
  s.regShift[2] = -12;
  s.regMulti[2] = 12;
  s.midiOutDevice = 3;
  s.midiInDevice = 0;
  Preset_save();

  std::string expected =
      " 1 , 0 Acoustic Grand, 255 , 0 , 0 , 0 \r\n"
      " 0 , 12 Marimba, 100 ,-1 ,-12 , 12 \r\n";
  for (int r = 3; r <= 32; ++r) expected += kEmptyRegisterLine;
  std::string written = readFile("consolle.ini");
  EXPECT_EQ(written, expected);
  EXPECT_EQ(readFile("consolle.cfg"), " 3 Midi Out\r\n 0 Midi In\r\n");
  Corpus_write("fuzz_preset", "saved.ini", written);

  s.midiOutDevice = -1;
  s.midiInDevice = 12;
  presetName = "consolle2";
  Preset_save();
  EXPECT_TRUE(exists("consolle2.ini"));
  EXPECT_EQ(readFile("consolle.cfg"), "-1 Midi Out\r\n 12 Midi In\r\n");
  // Only the files themselves are left: no temporary files.
  EXPECT_EQ(listing(), (std::vector<std::string>{"consolle.cfg", "consolle.ini", "consolle2.ini"}));
}

TEST_F(PresetTest, ConfigurationReadsTheLeadingNumberOfEachLine) {
  writeFile("consolle.cfg", " 3 Midi Out\r\n 0 Midi In\r\n");
  Config_load();
  EXPECT_EQ(s.midiOutDevice, 3);
  EXPECT_EQ(s.midiInDevice, 0);

  writeFile("consolle.cfg", "   7 anything, 9\n2.5\n");
  Config_load();
  EXPECT_EQ(s.midiOutDevice, 7);
  EXPECT_EQ(s.midiInDevice, 2);  // halves to even

  writeFile("consolle.cfg", "Midi Out 4\r\n");
  s.midiInDevice = 5;
  Config_load();  // no number, and no second line: 0 for both
  EXPECT_EQ(s.midiOutDevice, 0);
  EXPECT_EQ(s.midiInDevice, 0);

  std::remove("consolle.cfg");
  s.midiOutDevice = 6;
  Config_load();
  EXPECT_EQ(s.midiOutDevice, 0);
  EXPECT_FALSE(exists("consolle.cfg"));  // reading creates nothing
}

TEST_F(PresetTest, AllThirtyTwoRegistersSurviveASaveAndALoad) {
  for (int r = 1; r <= 32; ++r) {
    Reg_setname(r, programName[(r * 37) % 128]);
    s.regOn[r] = r % 2;
    s.regVolume[r] = (r * 41) % 256;
    s.regPan[r] = r % 3 - 1;
    s.regShift[r] = (r % 25) - 12;
    s.regMulti[r] = r % 13;
  }
  Preset_save();
  std::string first = readFile("consolle.ini");

  State_reset();
  Preset_load("consolle");
  for (int r = 1; r <= 32; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(s.regName[r], programName[(r * 37) % 128]);
    EXPECT_EQ(s.regProgram[r], (r * 37) % 128);
    EXPECT_EQ(s.regButtonProgram[r], (r * 37) % 128);
    EXPECT_EQ(s.regOn[r], r % 2);
    EXPECT_EQ(s.regVolume[r], (r * 41) % 256);
    EXPECT_EQ(s.regPan[r], r % 3 - 1);
    EXPECT_EQ(s.regShift[r], (r % 25) - 12);
    EXPECT_EQ(s.regMulti[r], r % 13);
  }
  Preset_save();
  EXPECT_EQ(readFile("consolle.ini"), first);
}

TEST_F(PresetTest, OutOfRangeValuesAndLabelsLoadAsTheRangesSay) {
  std::string file =
      "2, 40 anything,300,5,-20,15\r\n"            // 1: ranges
      " 1 ,12 Whatever name, -3 , 1 , 0 , 0 \r\n"  // 2: negative volume
      " 1 ,no number, 128 , 0 , 0 , 0 \r\n"        // 3
      " 1 , 300 beyond the table, 1 ,0,0,0\r\n"    // 4
      " 1 ,-5 below, 10, 0,0,0\r\n"                // 5
      " 1 , 12.5 half, 10, 0.5,-1.5,2.5\r\n";      // 6: halves to even
  writeFile("consolle.ini", file);
  Corpus_write("fuzz_preset", "ranges.ini", file);
  Preset_load("consolle");

  EXPECT_EQ(s.regOn[1], 1);
  EXPECT_EQ(s.regVolume[1], 255);
  EXPECT_EQ(s.regPan[1], 0);
  EXPECT_EQ(s.regShift[1], 0);
  EXPECT_EQ(s.regMulti[1], 0);
  EXPECT_EQ(s.regName[1], " 40 Violin");

  EXPECT_EQ(s.regVolume[2], 255);  // not 0
  EXPECT_EQ(s.regName[2], " 12 Marimba");
  EXPECT_EQ(s.regProgram[2], 12);
  EXPECT_EQ(s.regPan[2], 1);

  EXPECT_EQ(s.regName[3], " 0 Acoustic Grand");
  EXPECT_EQ(s.regName[4], "300");  // no entry that far: the bare number
  EXPECT_EQ(s.regProgram[4], 300);
  EXPECT_EQ(s.regName[5], " 0 Acoustic Grand");  // raised to 0

  EXPECT_EQ(s.regName[6], " 12 Marimba");
  EXPECT_EQ(s.regPan[6], 0);
  EXPECT_EQ(s.regShift[6], -2);
  EXPECT_EQ(s.regMulti[6], 2);

  // A short file: the registers it does not reach get the natural values.
  for (int r = 7; r <= 32; ++r) {
    EXPECT_EQ(s.regOn[r], 0);
    EXPECT_EQ(s.regVolume[r], 0);
    EXPECT_EQ(s.regName[r], " 0 Acoustic Grand");
  }
}

TEST_F(PresetTest, LoadingSetsTheControlsInOrderAndLogsEachRegister) {
  writeFile("consolle.ini",
            " 1 ,12 x, 255 , 0 , 0 , 0 \r\n"
            " 1 , 5 y, 128 ,-1 ,-3 , 2 \r\n"
            " 0 , 7 z, 64 , 1 , 12 , 0 \r\n");
  Preset_load("consolle");

  auto logs = sink.texts(DisplayKind::log);
  ASSERT_EQ(logs.size(), 32u);
  EXPECT_EQ(logs[0], " 1] 1  12 Marimba 255 0 0 0");
  EXPECT_EQ(logs[1], " 2] 1  5 Electric Piano 2 128-1-3 2");
  EXPECT_EQ(logs[31], " 32] 0  0 Acoustic Grand 0 0 0 0");
  // Every log line comes before the first control is set.
  size_t lastLog = 0, firstControl = sink.requests.size();
  for (size_t i = 0; i < sink.requests.size(); ++i) {
    if (sink.requests[i].kind == DisplayKind::log)
      lastLog = i;
    else if (firstControl == sink.requests.size())
      firstControl = i;
  }
  EXPECT_LT(lastLog, firstControl);

  auto two = controlsOf(2);
  ASSERT_EQ(two.size(), 6u);
  EXPECT_EQ(two[0].kind, DisplayKind::registerButton);
  EXPECT_EQ(two[0].id, 1002);
  EXPECT_EQ(two[0].level, 100);
  EXPECT_EQ(two[0].text.view(), " 5 Electric Piano 2");
  std::vector<int> ids;
  for (auto& q : two) ids.push_back(q.id);
  EXPECT_EQ(ids, (std::vector<int>{1002, 1202, 1402, 1502, 1302, 1102}));
  for (size_t i = 1; i < 6; ++i) EXPECT_EQ(two[i].kind, DisplayKind::meter);
  EXPECT_EQ(two[1].text.view(), "S");
  EXPECT_EQ(two[1].level, 100);
  EXPECT_EQ(two[2].text.view(), "-+");
  EXPECT_EQ(two[2].level, kLevelUnchanged);
  EXPECT_EQ(two[3].text.view(), " 2");
  EXPECT_EQ(two[3].level, kLevelUnchanged);
  EXPECT_EQ(two[4].text.view(), "-3");
  EXPECT_DOUBLE_EQ(two[4].level, 37.5);
  // Volume 128: caption 50 (remainder dropped), level 50.196... unrounded.
  EXPECT_EQ(two[5].text.view(), " 50");
  EXPECT_DOUBLE_EQ(two[5].level, 12800.0 / 255);
  EXPECT_NEAR(two[5].level, 50.196, 0.001);
  EXPECT_EQ(s.regButtonProgram[2], 5);

  auto three = controlsOf(3);
  ASSERT_EQ(three.size(), 6u);
  EXPECT_EQ(three[0].level, 0);  // off
  EXPECT_EQ(three[1].text.view(), "D");
  EXPECT_EQ(three[4].text.view(), " 12");
  EXPECT_DOUBLE_EQ(three[4].level, 100);
  EXPECT_EQ(three[5].text.view(), " 25");

  // The registers in turn, then both keyboards redrawn completely.
  auto& all = sink.requests;
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[all.size() - 2].kind, DisplayKind::keyboard);
  EXPECT_EQ(all[all.size() - 2].id, kKeyboardUpper);
  EXPECT_EQ(all[all.size() - 2].colour, -1);
  EXPECT_EQ(all[all.size() - 1].id, kKeyboardLower);
  EXPECT_EQ(all[all.size() - 1].colour, -1);
  EXPECT_EQ(sink.of(DisplayKind::meter).size(), 32u * 5);
  EXPECT_EQ(sink.of(DisplayKind::registerButton).size(), 32u);
}

TEST_F(PresetTest, AMissingPresetLoadsTheNaturalValuesWithoutCreatingAFile) {
  for (int r = 1; r <= 32; ++r) {
    s.regOn[r] = 1;
    s.regVolume[r] = 99;
  }
  Preset_load("consolle1");
  for (int r = 1; r <= 32; ++r) {
    EXPECT_EQ(s.regOn[r], 0);
    EXPECT_EQ(s.regVolume[r], 0);
    EXPECT_EQ(s.regName[r], " 0 Acoustic Grand");
  }
  EXPECT_EQ(sink.texts(DisplayKind::log).size(), 32u);
  EXPECT_TRUE(listing().empty());
}

TEST_F(PresetTest, APresetSwitchAfterVolumesFullWritesTwoHundredFiftyFive) {
  std::string file;
  for (int r = 1; r <= 32; ++r) file += " 1 , 19 Church Organ, 10 , 0 , 0 , 0 \r\n";
  writeFile("consolle.ini", file);
  Preset_load(presetName);
  Reg_volumesfull();
  // "Preset 1": save the current preset, switch, load, re-read the report.
  Preset_save();
  presetName = "consolle1";
  Preset_load(presetName);
  Soundfont_load();

  std::string saved = readFile("consolle.ini");
  std::string expected;
  for (int r = 1; r <= 32; ++r) expected += " 1 , 19 Church Organ, 255 , 0 , 0 , 0 \r\n";
  EXPECT_EQ(saved, expected);
  Corpus_write("fuzz_preset", "organ.ini", saved);
}

TEST_F(PresetTest, ALabelWithACommaIsWrittenWithABlankAndLoadsBackWhole) {
  Reg_setname(1, " 12 Flute, soft");
  s.regOn[1] = 1;
  s.regVolume[1] = 200;
  s.regShift[1] = 3;
  Preset_save();
  EXPECT_EQ(firstLine(readFile("consolle.ini")), " 1 , 12 Flute  soft, 200 , 0 , 3 , 0 \r\n");
  State_reset();
  Preset_load("consolle");
  EXPECT_EQ(s.regVolume[1], 200);
  EXPECT_EQ(s.regShift[1], 3);
  EXPECT_EQ(s.regName[1], " 12 Marimba");
}

TEST_F(PresetTest, ALabelWithNoNumberThatWouldGainOneKeepsProgramZeroThroughASaveAndALoad) {
  // A report line ",21] #" gives a label that starts with a comma; a quoted
  // number is no number either.
  const char* labels[] = {",5 Viola", " \t,21 #", "\"12\" Flauto", ",5 \"Voce\""};
  for (int r = 1; r <= 4; ++r) {
    Reg_setname(r, labels[r - 1]);
    s.regOn[r] = 1;
    s.regVolume[r] = 200;
    s.regPan[r] = 1;
    s.regShift[r] = 2;
    s.regMulti[r] = 3;
  }
  Preset_save();
  EXPECT_EQ(firstLine(readFile("consolle.ini")), " 1 ,\",5 Viola\", 200 , 1 , 2 , 3 \r\n");
  State_reset();
  Preset_load("consolle");
  for (int r = 1; r <= 4; ++r) {
    SCOPED_TRACE(labels[r - 1]);
    EXPECT_EQ(s.regProgram[r], 0);
    EXPECT_EQ(s.regVolume[r], 200);
    EXPECT_EQ(s.regMulti[r], 3);
  }
}

TEST_F(PresetTest, ANumericFieldReadsItsNumberUpToTheCommaWhateverItStartsWith) {
  // A double quote opens a quoted text only in a text field; in a numeric
  // field it is just a character that is not a number.
  writeFile("consolle.ini",
            " 0 , 6 Harpsichord, \"67 , 1 , 6 , 5 \r\n"
            "\"1 , 19 Organ, 90 ,\"-1 , 2 , 3 \r\n");
  Preset_load("consolle");
  EXPECT_EQ(s.regOn[1], 0);
  EXPECT_EQ(s.regName[1], " 6 Harpsichord");
  EXPECT_EQ(s.regVolume[1], 0);
  EXPECT_EQ(s.regPan[1], 1);
  EXPECT_EQ(s.regShift[1], 6);
  EXPECT_EQ(s.regMulti[1], 5);

  EXPECT_EQ(s.regOn[2], 0);  // no number: 0, inside the range
  EXPECT_EQ(s.regName[2], " 19 Church Organ");
  EXPECT_EQ(s.regVolume[2], 90);
  EXPECT_EQ(s.regPan[2], 0);
  EXPECT_EQ(s.regShift[2], 2);
  EXPECT_EQ(s.regMulti[2], 3);
}

TEST_F(PresetTest, ALabelOpeningAQuoteItNeverClosesKeepsItsRegisterOnASaveAndLoad) {
  // A report line "Voce umana 8] (no number, so program 0) gives such a label.
  const char* labels[] = {"\"Voce umana 8", "  \"12 Voce", "\"", "\"quoted\" then more",
                          "plain \"inner"};
  for (int r = 1; r <= 5; ++r) {
    Reg_setname(r, labels[r - 1]);
    s.regOn[r] = 1;
    s.regVolume[r] = 200;
    s.regPan[r] = 1;
    s.regShift[r] = 2;
    s.regMulti[r] = 3;
  }
  std::vector<int> programs;
  for (int r = 1; r <= 5; ++r) programs.push_back(s.regProgram[r]);
  Preset_save();
  // The line keeps its six fields and the label its bytes; only the quote that
  // nothing closes is closed at once, so that the label cannot swallow the
  // numbers after it.
  EXPECT_EQ(firstLine(readFile("consolle.ini")), " 1 ,\"\"Voce umana 8, 200 , 1 , 2 , 3 \r\n");
  State_reset();
  Preset_load("consolle");
  for (int r = 1; r <= 5; ++r) {
    SCOPED_TRACE(labels[r - 1]);
    EXPECT_EQ(s.regOn[r], 1);
    EXPECT_EQ(s.regVolume[r], 200);
    EXPECT_EQ(s.regPan[r], 1);
    EXPECT_EQ(s.regShift[r], 2);
    EXPECT_EQ(s.regMulti[r], 3);
    EXPECT_EQ(s.regProgram[r], programs[r - 1]);
  }
  // A label with a closing quote, or a quote further in, is written as it is.
  std::string saved = readFile("consolle.ini");
  EXPECT_NE(saved.find(",\"quoted\" then more,"), std::string::npos);
  EXPECT_NE(saved.find(",plain \"inner,"), std::string::npos);
}

TEST_F(PresetTest, EveryLineTheConsoleWritesReadsBackWithItsValues) {
  // The longest names a report or the program list can give.
  std::string huge = " 7 " + std::string(65532, 'x');
  writeFile("report.txt", "a\r\nb\r\nc\r\nd\r\n[7]" + huge.substr(3) + "\r\n");
  s.synthFound = 1;
  for (int r = 1; r <= 32; ++r) Reg_setname(r, "7");
  Soundfont_loadfrom("report.txt");
  ASSERT_FALSE(programName[7].empty());
  EXPECT_LT(programName[7].size(), LineFile::kMaxLine);
  Reg_setname(2, huge);  // straight from a list entry
  EXPECT_LT(s.regName[2].size(), LineFile::kMaxLine);
  EXPECT_EQ(s.regProgram[2], 7);
  for (int r = 1; r <= 32; ++r) {
    s.regOn[r] = 1;
    s.regVolume[r] = 201;
    s.regPan[r] = -1;
    s.regShift[r] = -12;
    s.regMulti[r] = 11;
  }
  Preset_save();
  LineFile file("consolle.ini");
  std::string line;
  int lines = 0;
  while (file.next(line)) {
    ++lines;
    EXPECT_LT(line.size(), LineFile::kMaxLine);
  }
  EXPECT_EQ(lines, 32);
  State_reset();
  Preset_load("consolle");
  for (int r = 1; r <= 32; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(s.regProgram[r], 7);
    EXPECT_EQ(s.regVolume[r], 201);
    EXPECT_EQ(s.regPan[r], -1);
    EXPECT_EQ(s.regShift[r], -12);
    EXPECT_EQ(s.regMulti[r], 11);
  }
}

TEST_F(PresetTest, WindowsTextBytesAreWrittenAsTheyAre) {
  programName[19] = "19 Orgue \xE0 tuyaux";
  writeFile("consolle.ini", " 1 , 19 , 255 , 0 , 0 , 0 \r\n");
  Preset_load("consolle");
  EXPECT_EQ(s.regName[1], "19 Orgue \xE0 tuyaux");
  Preset_save();
  EXPECT_EQ(firstLine(readFile("consolle.ini")), " 1 ,19 Orgue \xE0 tuyaux, 255 , 0 , 0 , 0 \r\n");
}

class SaveSafetyTest : public PresetTest {
 protected:
  void TearDown() override {
    File_replacehook = nullptr;
    PresetTest::TearDown();
  }
  // Saves a preset with every volume 77 and returns its bytes.
  std::string saveOld() {
    for (int r = 1; r <= 32; ++r) {
      Reg_setname(r, programName[r]);
      s.regVolume[r] = 77;
    }
    Preset_save();
    return readFile("consolle.ini");
  }
  void changeEverything() {
    for (int r = 1; r <= 32; ++r) s.regVolume[r] = 99;
  }
};

TEST_F(SaveSafetyTest, ASaveStoppedAfterTheTemporaryFileLeavesTheOldPresetReadable) {
  std::string old = saveOld();
  changeEverything();
  static std::vector<std::string> temps;
  temps.clear();
  File_replacehook = [](const std::string& temp) {
    temps.push_back(temp);
    return false;  // the crash: the rename never happens
  };
  Preset_save();
  File_replacehook = nullptr;

  EXPECT_EQ(readFile("consolle.ini"), old);
  ASSERT_EQ(temps.size(), 2u);                       // the preset, then the configuration
  EXPECT_EQ(temps[0].rfind("consolle.ini", 0), 0u);  // in the same directory
  EXPECT_EQ(readFile(temps[0]).size(), old.size());  // complete
  State_reset();
  Preset_load("consolle");
  for (int r = 1; r <= 32; ++r) EXPECT_EQ(s.regVolume[r], 77);

  // The next save goes through.
  changeEverything();
  Preset_save();
  State_reset();
  Preset_load("consolle");
  EXPECT_EQ(s.regVolume[32], 99);
}

TEST_F(SaveSafetyTest, AFullDiskLeavesTheOldPresetAndNoTemporaryFile) {
  std::string old = saveOld();
  changeEverything();
  // The file size limit makes every write past 200 bytes fail, as a full
  // disk would (a preset is about a thousand bytes).
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  rlimit small = limit;
  small.rlim_cur = 200;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::vector<SaveFailure> failures = Preset_save();
  setrlimit(RLIMIT_FSIZE, &limit);
  sigaction(SIGXFSZ, &previous, nullptr);

  // The save says which file it could not write, and why.
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].file, "consolle.ini");
  EXPECT_EQ(failures[0].error, EFBIG);
  EXPECT_EQ(readFile("consolle.ini"), old);
  EXPECT_EQ(listing(), (std::vector<std::string>{"consolle.cfg", "consolle.ini"}));
}

TEST_F(SaveSafetyTest, AReplacedFileKeepsItsPermissions) {
  saveOld();
  ASSERT_EQ(chmod("consolle.ini", 0640), 0);
  changeEverything();
  Preset_save();
  struct stat st {};
  ASSERT_EQ(stat("consolle.ini", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  mode_t mask = umask(0);
  umask(mask);
  ASSERT_EQ(stat("consolle.cfg", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
}

}  // namespace
}  // namespace zt::test
