// Number texts as the programs write them, and numbers read from texts.
#include "common/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace zt::test {
namespace {

// HEX: upper-case hexadecimal without leading zeros.
std::string hexText(uint64_t n) { return std::string(FixedText<32>().addHex(n).view()); }

TEST(NumberTextTest, FormsAndValues) {
  EXPECT_EQ(Text_str(5), " 5");
  EXPECT_EQ(Text_str(-5), "-5");
  EXPECT_EQ(Text_str(0), " 0");
  EXPECT_EQ(Text_trim(-12), "-12");
  EXPECT_EQ(hexText(0), "0");
  EXPECT_EQ(hexText(0xABCDEF), "ABCDEF");
  EXPECT_EQ(Text_number("  12 Vox"), 12);
  EXPECT_EQ(Text_number("-7,1"), -7);
  EXPECT_EQ(Text_number("Vox 12"), 0);
  EXPECT_EQ(Text_number(""), 0);
  EXPECT_EQ(Text_number("2.5"), 2);
  EXPECT_EQ(Text_number("3.5x"), 4);
  EXPECT_EQ(Text_number("99999999999"), 2147483647);
  FixedText<8> small;
  small.add("abcdefghij");
  EXPECT_EQ(std::string(small.view()), "abcdefg");
}

TEST(TextPrint, SignPositionDigitsAndOneTrailingBlank) {
  EXPECT_EQ(Text_print(0), " 0 ");
  EXPECT_EQ(Text_print(255), " 255 ");
  EXPECT_EQ(Text_print(-1), "-1 ");
  EXPECT_EQ(Text_print(-12), "-12 ");
  // The number text of the log and the configuration has no trailing blank.
  EXPECT_EQ(Text_str(3), " 3");
  EXPECT_EQ(Text_str(-3), "-3");
}

TEST(NumberTextTest, ExtremesOfSixtyFourBits) {
  // The most negative value has no positive counterpart: its digits must
  // still come out whole.
  EXPECT_EQ(Text_str(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(Text_str(std::numeric_limits<int64_t>::max()), " 9223372036854775807");
  EXPECT_EQ(Text_trim(std::numeric_limits<int64_t>::max()), "9223372036854775807");
  EXPECT_EQ(hexText(std::numeric_limits<uint64_t>::max()), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(hexText(0x90), "90");
}

TEST(NumberTextTest, TheReaderStopsAtTheFirstCharacterThatCannotContinueTheNumber) {
  EXPECT_DOUBLE_EQ(Text_value("\t 1.25abc"), 1.25);
  EXPECT_DOUBLE_EQ(Text_value("+4"), 4.0);
  EXPECT_DOUBLE_EQ(Text_value("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(Text_value("12.3.4"), 12.3);
  EXPECT_DOUBLE_EQ(Text_value("- 3"), 0.0);  // a sign must touch its digits
  EXPECT_DOUBLE_EQ(Text_value("1e3"), 1.0);  // no exponent form
  // Halves go to the even neighbour on both sides of zero.
  EXPECT_EQ(Text_number("-2.5"), -2);
  EXPECT_EQ(Text_number("-3.5"), -4);
  EXPECT_EQ(Text_number("0.5"), 0);
  EXPECT_EQ(Text_number("1.5"), 2);
  EXPECT_EQ(Text_number("-99999999999"), std::numeric_limits<int32_t>::min());
}

TEST(FixedTextTest, BuildsInPlaceAndCutsAtCapacity) {
  FixedText<32> t;
  EXPECT_TRUE(t.empty());
  t.add("Note").addStr(60).add(",").addStr(-3).add(" ").addHex(0x9F).add(" ").addTrim(7);
  EXPECT_EQ(std::string(t.view()), "Note 60,-3 9F 7");
  EXPECT_EQ(t.size(), t.view().size());
  EXPECT_EQ(std::string(t.c_str()), std::string(t.view()));
  FixedText<32> copy = t;
  t.clear();
  EXPECT_TRUE(t.empty());
  EXPECT_EQ(std::string(copy.view()), "Note 60,-3 9F 7");
  // A number that does not fit is cut like any text, never overrunning.
  FixedText<4> tiny;
  tiny.addStr(-123456);
  EXPECT_EQ(std::string(tiny.view()), "-12");
  EXPECT_EQ(tiny.size(), 3u);
}

}  // namespace
}  // namespace zt::test
