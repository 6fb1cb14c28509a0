// The display masks of the progress line.
#include <gtest/gtest.h>

#include <cmath>

#include "player/scheduler/mask_format.h"

namespace zt {
namespace {

std::string Format(double value, std::string_view mask) {
  MaskText out;
  Mask_format(out, value, mask);
  return std::string(out.view());
}

TEST(MaskFormat, ElapsedMaskKeepsItsZerosAsLiterals) {
  EXPECT_EQ(Format(5.24, "000#.# s "), "0005.2 s ");
  EXPECT_EQ(Format(0, "000#.# s "), "0000.0 s ");
  EXPECT_EQ(Format(59.96, "000#.# s "), "00060.0 s ");
}

TEST(MaskFormat, HalvesRoundToEven) {
  EXPECT_EQ(Format(2.25, "#.#"), "2.2");
  EXPECT_EQ(Format(2.75, "#.#"), "2.8");
  EXPECT_EQ(Format(0.5, "#"), "0");
  EXPECT_EQ(Format(1.5, "#"), "2");
  EXPECT_EQ(Format(2.5, "##"), " 2");
}

TEST(MaskFormat, IntegerPlacesFillWithBlanksAndWiderNumbersWidenTheField) {
  EXPECT_EQ(Format(43.25, " ###.#_% "), "  43.2% ");
  EXPECT_EQ(Format(100, " ###.#_% "), " 100.0% ");
  EXPECT_EQ(Format(1234.5, " ###.#_% "), " 1234.5% ");
  EXPECT_EQ(Format(12.0, " (#.# s)"), " (12.0 s)");
  EXPECT_EQ(Format(-3.5, "###.##"), " -3.50");
}

TEST(MaskFormat, LiteralsAndOddMasks) {
  EXPECT_EQ(Format(7, "_#_#"), "##");
  EXPECT_EQ(Format(7, "abc"), "abc");
  EXPECT_EQ(Format(7, "#."), "7.");  // a point without decimals is a literal
  EXPECT_EQ(Format(7, "x_"), "x");
  EXPECT_EQ(Format(NAN, "#.#"), "0.0");
  EXPECT_EQ(Format(1e300, "#").size(), 19u);  // held, not undefined
}

}  // namespace
}  // namespace zt
