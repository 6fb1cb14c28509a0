// Halves-to-even rounding, dialog units and colour packing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "common/colour.h"
#include "common/dialog_units.h"
#include "common/rounding.h"

namespace zt::test {
namespace {

TEST(RoundEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Round_even(0.5), 0);
  EXPECT_EQ(Round_even(1.5), 2);
  EXPECT_EQ(Round_even(2.5), 2);
  EXPECT_EQ(Round_even(-0.5), 0);
  EXPECT_EQ(Round_even(-1.5), -2);
  EXPECT_EQ(Round_even(-2.5), -2);
  EXPECT_EQ(Round_even(2.4999), 2);
  EXPECT_EQ(Round_even(2.5001), 3);
  EXPECT_EQ(Round_even(-7.6), -8);
  // A volume bar at 50 times 2.55 in single precision comes out as exactly
  // 127.5, which goes to the even 128.
  EXPECT_EQ(Round_even(50 * 2.55f), 128);
}

TEST(RoundEven, SaturatesAtThirtyTwoBitsAndMapsNaNToZero) {
  EXPECT_EQ(Round_even(2147483646.6), 2147483647);
  EXPECT_EQ(Round_even(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Round_even(-1e300), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(Round_even(INFINITY), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Round_even(-INFINITY), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(Round_even(NAN), 0);
  EXPECT_EQ(Round_even(-2147483648.0), std::numeric_limits<int32_t>::min());
}

// Both programs' windows: 100 units down are 162.5 pixels, which go to 162.
TEST(DialogUnits, OneAndAHalfAcrossOneAndFiveEighthsDownHalvesToEven) {
  EXPECT_EQ(Dialog_y(100), 162);
  EXPECT_EQ(Dialog_y(60), 98);
  EXPECT_EQ(Dialog_x(3), 4);
  EXPECT_EQ(Dialog_x(150), 225);
}

TEST(Colour, RedInTheLowByteThenGreenThenBlue) {
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412);
  EXPECT_EQ(RGB(255, 0, 0), 0xFF);
  EXPECT_EQ(RGB(0, 0, 255), 0xFF0000);
  static_assert(RGB(255, 255, 210) == 0xD2FFFF, "usable in constant tables");
}

TEST(Colour, EachComponentIsClampedBeforePacking) {
  // Out-of-range components never spill into their neighbours.
  EXPECT_EQ(RGB(410, 210, 210), RGB(255, 210, 210));
  EXPECT_EQ(RGB(-200, -100, 300), RGB(0, 0, 255));
  EXPECT_EQ(RGB(256, -1, 0), 0xFF);
  EXPECT_EQ(RGB(1000, 1000, 1000), 0xFFFFFF);
}

}  // namespace
}  // namespace zt::test
