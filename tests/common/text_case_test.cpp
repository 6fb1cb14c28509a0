// Case and blanks of single-byte texts.
#include "common/text_case.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace zt::test {
namespace {

TEST(TextCase, OnlyAsciiLettersChangeCase) {
  EXPECT_EQ(Text_upper("Seriale 12, x"), "SERIALE 12, X");
  EXPECT_EQ(Text_lower("PulsanteRosso"), "pulsanterosso");
  EXPECT_EQ(Text_upper(""), "");
  // Windows-1252 letters ("è" is E8, "À" is C0) and the bytes next to the
  // letter ranges stay as they are.
  EXPECT_EQ(Text_upper("citt\xE8 @[`{"), "CITT\xE8 @[`{");
  EXPECT_EQ(Text_lower("\xC0 Z@"), "\xC0 z@");
}

TEST(TextCase, TheProcessLocaleDoesNotChangeTheResult) {
  const char* set = std::setlocale(LC_CTYPE, "C.UTF-8");
  EXPECT_EQ(Text_upper("\xE8live"), "\xE8LIVE");
  EXPECT_EQ(Text_lower("AWE\xC8"), "awe\xC8");
  if (set) std::setlocale(LC_CTYPE, "C");
}

TEST(TextStrip, RemovesBlanksAtBothEndsOnly) {
  EXPECT_EQ(Text_strip("  [12] Foo  "), "[12] Foo");
  EXPECT_EQ(Text_strip("   "), "");
  EXPECT_EQ(Text_strip("\tx "), "\tx");
}

TEST(TextStrip, LeftOnlyKeepsTrailingBlanks) {
  EXPECT_EQ(Text_stripleft("  oro  "), "oro  ");
  EXPECT_EQ(Text_stripleft(""), "");
  EXPECT_EQ(Text_stripleft("    "), "");
  EXPECT_EQ(Text_stripleft("a b"), "a b");
  EXPECT_EQ(Text_strip("a"), "a");
}

}  // namespace
}  // namespace zt::test
