// The program list's model and the about box text.
#include "console/app/files/program_list.h"

#include <gtest/gtest.h>

#include "console/app/files/about_box.h"
#include "console/app/files/program_names.h"
#include "tests/console/app/files/app_fixture.h"

namespace zt::test {
namespace {

class ProgramListTest : public FilesTest {
 protected:
  ProgramList list;
  ConsoleState& s = consoleState;
};

TEST_F(ProgramListTest, ListsTheNamedProgramsAndSelectsTheRegistersOwn) {
  Program_tablefill();
  Reg_setname(5, programName[19]);
  list.selection = 7;
  Program_listfill(list, 5);
  ASSERT_EQ(list.items.size(), 128u);
  EXPECT_EQ(list.items[0], " 0 Acoustic Grand");
  EXPECT_EQ(list.items[127], " 127 Gunshot");
  EXPECT_EQ(list.userValue1, 5);
  EXPECT_EQ(list.selection, 19);
  EXPECT_EQ(list.items[list.selection], " 19 Church Organ");
  EXPECT_TRUE(list.focusRequested);

  Reg_setname(6, "");
  Program_listfill(list, 6);
  EXPECT_EQ(list.selection, 0);  // no number: program 0
}

TEST_F(ProgramListTest, WithALoadedTableTheGapsAreSkipped) {
  programName[0] = "0 Bourdon";
  programName[12] = "12 Principale";
  programName[19] = "   ";  // blank: left out
  programName[40] = "40 Voce umana";
  programName[130] = "130 Beyond the list";
  Reg_setname(1, "40 Voce umana");
  Program_listfill(list, 1);
  EXPECT_EQ(list.items, (std::vector<std::string>{"0 Bourdon", "12 Principale", "40 Voce umana"}));
  EXPECT_EQ(list.selection, 2);

  Reg_setname(2, "13");  // no item for program 13
  Program_listfill(list, 2);
  EXPECT_EQ(list.selection, -1);
}

TEST_F(ProgramListTest, ASelectionGivesTheRegisterTheProgramThenClears) {
  Program_tablefill();
  s.regOn[3] = 1;
  Program_listfill(list, 3);
  list.selection = 52;
  Program_listproc(list, 1u << 16);
  EXPECT_EQ(s.regName[3], " 52 Choir Aahs");
  EXPECT_EQ(s.regProgram[3], 52);
  EXPECT_EQ(s.regButtonProgram[3], 52);
  EXPECT_EQ(list.selection, -1);
  auto buttons = sink.of(DisplayKind::registerButton);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0].id, 1003);
  EXPECT_EQ(buttons[0].level, 100);
  EXPECT_EQ(buttons[0].text.view(), " 52 Choir Aahs");

  // Another notification (focus, double click...) changes nothing but the
  // selection; the low 16 bits (the control id) do not matter.
  list.selection = 10;
  Program_listproc(list, (4u << 16) | 120u);
  EXPECT_EQ(s.regName[3], " 52 Choir Aahs");
  EXPECT_EQ(list.selection, -1);
  EXPECT_EQ(sink.of(DisplayKind::registerButton).size(), 1u);
}

TEST_F(ProgramListTest, AListNeverFilledChangesNoRegister) {
  Program_tablefill();
  list.items = {" 1 Bright Acoustic"};
  list.selection = 0;
  Program_listproc(list, 1u << 16);
  for (int r = 0; r <= 32; ++r) EXPECT_TRUE(s.regName[r].empty());
  EXPECT_EQ(list.selection, -1);
}

TEST(AboutBox, SixLinesJoinedByCrLf) {
  std::string text = About_text();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  ASSERT_EQ(lines.size(), 6u);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(lines[i].empty());
  EXPECT_EQ(lines[3], "Windows 98 SE");
  EXPECT_EQ(lines[4], "Windows XP home");
  EXPECT_EQ(lines[5], "Zoradad Odod Adezu su Sound Blaster Live&AWE e Soundfont Jeux14.sf2");
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

}  // namespace
}  // namespace zt::test
