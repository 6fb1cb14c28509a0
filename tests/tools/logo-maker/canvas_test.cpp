// The logo's canvas: coverage of filled shapes and the BMP layout.
#include "tools/logo-maker/canvas.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

TEST(Canvas, ShapesCoverWholeAndPartPixels) {
  Canvas c(8, 4, Rgb{0, 0, 0});
  c.rect(2, 1, 5, 3, Rgb{200, 100, 40});
  EXPECT_EQ(c.at(2, 1).r, 200);
  EXPECT_EQ(c.at(4, 2).g, 100);
  EXPECT_EQ(c.at(1, 1).r, 0);  // left of the shape
  EXPECT_EQ(c.at(5, 1).r, 0);  // the right edge is outside
  EXPECT_EQ(c.at(2, 3).r, 0);  // so is the bottom edge

  // Half a pixel covered blends half way.
  Canvas h(4, 1, Rgb{0, 0, 0});
  h.rect(0, 0, 1.5, 1, Rgb{200, 200, 200});
  EXPECT_DOUBLE_EQ(h.at(1, 0).r, 100);
  EXPECT_DOUBLE_EQ(h.at(0, 0).r, 200);

  // Even-odd: a square drawn inside a square as one outline leaves a hole.
  Canvas e(10, 10, Rgb{0, 0, 0});
  e.polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {3, 3}, {3, 7}, {7, 7}, {7, 3}, {3, 3}},
            Rgb{255, 255, 255});
  EXPECT_EQ(e.at(1, 5).r, 255);
  EXPECT_EQ(e.at(5, 5).r, 0);

  // Shapes beyond the edges are clipped, not written out of bounds.
  c.rect(-20, -20, 40, 40, Rgb{9, 9, 9});
  EXPECT_EQ(c.at(0, 0).r, 9);
  EXPECT_EQ(c.at(7, 3).r, 9);
}

TEST(Canvas, BmpRowsArePaddedAndBottomUp) {
  Canvas c(5, 2, Rgb{1, 2, 3});
  c.rect(0, 0, 1, 1, Rgb{255, 0, 0});  // top-left red
  const std::vector<uint8_t> b = c.bmp();
  const size_t row = 16;  // 5 x 3 bytes padded to a multiple of 4
  ASSERT_EQ(b.size(), 54 + 2 * row);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(u32(b, 2), 54 + 2 * row);
  EXPECT_EQ(u32(b, 10), 54u);
  EXPECT_EQ(u32(b, 14), 40u);
  EXPECT_EQ(u32(b, 18), 5u);
  EXPECT_EQ(u32(b, 22), 2u);
  EXPECT_EQ(b[28], 24);
  EXPECT_EQ(u32(b, 30), 0u);
  // The top row is stored last, blue first.
  EXPECT_EQ(b[54 + row + 0], 0);
  EXPECT_EQ(b[54 + row + 2], 255);
  EXPECT_EQ(b[54 + 0], 3);
  EXPECT_EQ(b[54 + 1], 2);
  EXPECT_EQ(b[54 + 2], 1);
  EXPECT_EQ(b[54 + 15], 0);  // padding
}

TEST(Canvas, SaveReplacesTheFileWhole) {
  const std::string path = ::testing::TempDir() + "canvas_test.bmp";
  Canvas c(3, 3, Rgb{10, 20, 30});
  ASSERT_TRUE(c.save(path));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::fseek(f, 0, SEEK_END);
  EXPECT_EQ(std::ftell(f), long(c.bmp().size()));
  std::fclose(f);
  EXPECT_FALSE(Canvas(1, 1, Rgb{}).save("/nonexistent-dir/x.bmp"));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace zt
