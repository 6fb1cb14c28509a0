// Numbers as the settings files carry them, and field-wise reading of lines.
#include "console/app/files/file_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/console/app/files/app_fixture.h"

namespace zt::test {
namespace {

TEST(FieldReader, ReadsTheSixFieldsOfAPresetLine) {
  FieldReader f(" 1 , 0 Acoustic Grand, 255 ,-1 , 12 , 3 ");
  EXPECT_EQ(f.number(), 1);
  EXPECT_EQ(f.text(), "0 Acoustic Grand");  // leading blanks skipped
  EXPECT_EQ(f.number(), 255);
  EXPECT_EQ(f.number(), -1);
  EXPECT_EQ(f.number(), 12);
  EXPECT_EQ(f.number(), 3);
  // Past the line end every field is empty.
  EXPECT_EQ(f.number(), 0);
  EXPECT_EQ(f.text(), "");
}

TEST(FieldReader, NumbersRoundHalvesToEvenAndStopAtTheFirstNonDigit) {
  FieldReader f("2.5,3.5,-0.5,12abc,  7 Midi Out,x9,,1e3");
  EXPECT_EQ(f.number(), 2);
  EXPECT_EQ(f.number(), 4);
  EXPECT_EQ(f.number(), 0);
  EXPECT_EQ(f.number(), 12);
  EXPECT_EQ(f.number(), 7);
  EXPECT_EQ(f.number(), 0);  // no number at the start
  EXPECT_EQ(f.number(), 0);  // empty field
  EXPECT_EQ(f.number(), 1);  // no exponents: "1" then "e"
}

TEST(FieldReader, QuotedTextKeepsCommasAndTheRestUpToTheCommaIsPassedOver) {
  FieldReader f("  \"12 Flute, soft\" tail, 5,\"unclosed, text");
  EXPECT_EQ(f.text(), "12 Flute, soft");
  EXPECT_EQ(f.number(), 5);
  EXPECT_EQ(f.text(), "unclosed, text");
  EXPECT_EQ(f.text(), "");
}

TEST(FieldReader, UnquotedTextKeepsInnerAndTrailingBlanksAndOtherBytes) {
  std::string label = "12 Fl\xF6te  ";  // Windows-1252 o-umlaut, kept as it is
  FieldReader f("  " + label + ",1");
  EXPECT_EQ(f.text(), label);
  EXPECT_EQ(f.number(), 1);
}

class LineFileTest : public FilesTest {};

TEST_F(LineFileTest, SplitsAtCrLfOrLfAndKeepsALastLineWithoutEnd) {
  writeFile("lines.txt", "one\r\ntwo\n\r\nfour\rstill four\r\nlast");
  LineFile file("lines.txt");
  std::vector<std::string> lines;
  std::string line;
  while (file.next(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "four\rstill four", "last"}));
  EXPECT_FALSE(file.next(line));
  EXPECT_TRUE(line.empty());
}

TEST_F(LineFileTest, AMissingFileHasNoLines) {
  LineFile file("missing.txt");
  std::string line = "old";
  EXPECT_FALSE(file.isOpen());
  EXPECT_FALSE(file.next(line));
  EXPECT_TRUE(line.empty());
}

TEST_F(LineFileTest, AnOverlongLineIsCutAndTheNextLineStillReads) {
  std::string longLine(LineFile::kMaxLine + 1000, 'x');
  writeFile("long.txt", longLine + "\r\nnext\r\n");
  LineFile file("long.txt");
  std::string line;
  ASSERT_TRUE(file.next(line));
  EXPECT_EQ(line.size(), LineFile::kMaxLine);
  ASSERT_TRUE(file.next(line));
  EXPECT_EQ(line, "next");
}

}  // namespace
}  // namespace zt::test
