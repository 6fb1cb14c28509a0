// Meter indicators, ticks, caption formats and the background cache.
#include "tests/controls/fixture.h"

namespace zt {

namespace {

void meter(QWidget* owner, int id, const char* kind, int w, int h, int bevel, int scale,
           const char* caption = "", int faceMode = 0) {
  Ctl_meter(owner, id, 0, 0, w, h, "", bevel, "grigio", 0, scale, caption, RGB(255, 255, 255), kind,
            "grigio", faceMode);
}

Colour segment(int j, int scale) {
  double c = 255.0 / scale;
  return RGB(Ctl_round(c * j), 0, Ctl_round(255 - c * j));
}

}  // namespace

class MeterTest : public ControlsTest {
 protected:
  // Segments showing their own colour, sampled in each segment's middle.
  int litSegments(int id, int scale, bool vertical, int w, int h) {
    int lit = 0;
    for (int j = 0; j < scale; ++j) {
      Colour p = vertical ? px(id, w / 2, h - 1 - j * h / scale - h / (2 * scale))
                          : px(id, j * w / scale + w / (2 * scale), h / 2);
      if (p == segment(j, scale)) ++lit;
    }
    return lit;
  }
};

TEST_F(MeterTest, SegmentsLightByRoundedValue) {
  meter(owner.get(), 1, "ori_vmeter", 100, 10, 0, 10);
  Ctl_meterset(owner.get(), 1, 100, "");
  EXPECT_EQ(litSegments(1, 10, false, 100, 10), 10);
  Ctl_meterset(owner.get(), 1, 55, "");
  EXPECT_EQ(litSegments(1, 10, false, 100, 10), 6);
  Ctl_meterset(owner.get(), 1, 50, "");  // 4.5 rounds to 4: five segments
  EXPECT_EQ(litSegments(1, 10, false, 100, 10), 5);
  // Adjacent horizontal segments touch.
  EXPECT_EQ(px(1, 9, 5), segment(0, 10));
  EXPECT_EQ(px(1, 10, 5), segment(1, 10));

  meter(owner.get(), 2, "ver_vmeter", 10, 100, 0, 10);
  Ctl_meterset(owner.get(), 2, 55, "");
  EXPECT_EQ(litSegments(2, 10, true, 10, 100), 6);
  // Vertical segments leave a one-pixel gap: segment 0 covers rows 91..99,
  // segment 1 rows 81..89.
  EXPECT_EQ(px(2, 5, 99), segment(0, 10));
  EXPECT_EQ(px(2, 5, 91), segment(0, 10));
  EXPECT_NE(px(2, 5, 90), segment(0, 10));
  EXPECT_NE(px(2, 5, 90), segment(1, 10));
  EXPECT_EQ(px(2, 5, 89), segment(1, 10));
}

TEST_F(MeterTest, SegmentKindsWithoutDivisionsDrawNoIndicator) {
  meter(owner.get(), 1, "ori_vmeter", 100, 10, 0, 0);
  QImage empty = image(1);
  Ctl_meterset(owner.get(), 1, 80, "");
  EXPECT_EQ(image(1), empty);
  meter(owner.get(), 2, "ver_vmeter", 10, 100, 0, 0);
  empty = image(2);
  Ctl_meterset(owner.get(), 2, 80, "");
  EXPECT_EQ(image(2), empty);
}

TEST_F(MeterTest, BlueRedBarsEndWhereTheValueSays) {
  // 0.01 x 119 x 50 = 59.5, which rounds to 60: columns 0..60.
  meter(owner.get(), 1, "ori_blurosso", 120, 14, 0, 0);
  Ctl_meterset(owner.get(), 1, 50, "");
  EXPECT_EQ(px(1, 0, 7), RGB(0, 15, 255));
  EXPECT_EQ(px(1, 60, 0), RGB(128, 15, 128));  // 127.5 rounds to 128
  EXPECT_EQ(px(1, 60, 13), RGB(128, 15, 128));
  EXPECT_NE(Ctl_green(px(1, 61, 7)), 15);

  // With a bevel the bar sits inside it.
  meter(owner.get(), 2, "ori_blurosso", 120, 14, 2, 0);
  Ctl_meterset(owner.get(), 2, 100, "");
  EXPECT_EQ(Ctl_green(px(2, 2, 2)), 15);
  EXPECT_EQ(Ctl_green(px(2, 2, 11)), 15);
  EXPECT_NE(Ctl_green(px(2, 2, 12)), 15);
  EXPECT_EQ(Ctl_green(px(2, 117, 7)), 15);  // j up to round(1.15 x 100)... last column A + 115
  EXPECT_NE(Ctl_green(px(2, 118, 7)), 15);

  // Vertical: rows from the bottom, 0.01 x 100 x 30 = 30 -> 31 rows.
  meter(owner.get(), 3, "ver_blurosso", 10, 100, 0, 0);
  Ctl_meterset(owner.get(), 3, 30, "");
  EXPECT_EQ(px(3, 5, 99), RGB(0, 0, 255));
  EXPECT_EQ(Ctl_red(px(3, 5, 69)), Ctl_round(255.0 / 100 * 30));
  EXPECT_EQ(Ctl_green(px(3, 5, 69)), 0);
  EXPECT_NE(Ctl_blue(px(3, 5, 68)), Ctl_round(255 - 255.0 / 100 * 31));
}

TEST_F(MeterTest, ThinNeedlesStandAtTheValue) {
  const Colour red = RGB(255, 0, 0);
  meter(owner.get(), 1, "ver_ago", 20, 100, 3, 0);
  Ctl_meterset(owner.get(), 1, 100, "");
  EXPECT_EQ(px(1, 3, 4), red);  // y = A + 1
  EXPECT_EQ(px(1, 16, 4), red);
  EXPECT_EQ(px(1, 17, 4), px(1, 17, 50));  // the line stops before w - A
  EXPECT_EQ(count(1, red), 14);
  Ctl_meterset(owner.get(), 1, 1, "");
  EXPECT_EQ(px(1, 5, 97 - Ctl_round(0.94) + 1), red);  // near the bottom edge

  meter(owner.get(), 2, "ori_ago", 100, 20, 0, 0);
  Ctl_meterset(owner.get(), 2, 25, "");
  EXPECT_EQ(px(2, 25, 0), red);
  EXPECT_EQ(px(2, 25, 19), red);
  EXPECT_EQ(count(2, red), 20);
}

TEST_F(MeterTest, BigNeedlesAndRedBars) {
  meter(owner.get(), 1, "ori_agone", 100, 20, 0, 0);
  Ctl_meterset(owner.get(), 1, 50, "");
  // Black box from x - 6 to x + 6, the red line at x = 50 inside it.
  EXPECT_EQ(px(1, 44, 10), RGB(0, 0, 0));
  EXPECT_EQ(px(1, 56, 10), RGB(0, 0, 0));
  EXPECT_NE(px(1, 57, 10), RGB(0, 0, 0));
  EXPECT_EQ(px(1, 50, 10), RGB(255, 0, 0));
  EXPECT_EQ(px(1, 45, 10), Ctl_framecolor("grigio", Ctl_round(50 * 2.55)));

  meter(owner.get(), 2, "ver_agone", 20, 100, 0, 0);
  Ctl_meterset(owner.get(), 2, 50, "");
  // y = 50: box rows 45..57, red line at row 51.
  EXPECT_EQ(px(2, 10, 45), RGB(0, 0, 0));
  EXPECT_EQ(px(2, 10, 57), RGB(0, 0, 0));
  EXPECT_EQ(px(2, 10, 51), RGB(255, 0, 0));

  meter(owner.get(), 3, "ori_rosso", 100, 14, 0, 0);
  Ctl_meterset(owner.get(), 3, 50, "");
  EXPECT_EQ(px(3, 0, 0), RGB(155, 0, 0));
  EXPECT_EQ(px(3, 49, 13), RGB(155, 0, 0));
  EXPECT_NE(Ctl_green(px(3, 50, 0)), 0);  // the bar is 50 pixels long
}

TEST_F(MeterTest, TicksAreDrawnOverTheIndicator) {
  const Colour tick = RGB(107, 205, 107);
  meter(owner.get(), 1, "ori_blurosso", 100, 20, 0, 4);
  Ctl_meterset(owner.get(), 1, 100, "");
  // Three ticks at x = 25, 50, 75, from the bottom row up 4 pixels.
  for (int x : {25, 50, 75}) {
    EXPECT_EQ(px(1, x, 19), tick) << x;
    EXPECT_EQ(px(1, x, 16), tick) << x;
    EXPECT_NE(px(1, x, 15), tick) << x;
  }
  EXPECT_EQ(count(1, tick), 12);

  // No ticks on the segment kinds.
  meter(owner.get(), 2, "ori_vmeter", 100, 20, 0, 4);
  Ctl_meterset(owner.get(), 2, 100, "");
  EXPECT_EQ(count(2, tick), 0);
}

TEST_F(MeterTest, ValueZeroShowsNoIndicatorAndMinusOneKeepsTheValue) {
  meter(owner.get(), 1, "ori_blurosso", 100, 14, 1, 4, "Vol");
  QImage atZero = image(1);
  Ctl_meterset(owner.get(), 1, 70, "");
  QImage atSeventy = image(1);
  EXPECT_NE(atZero, atSeventy);
  Ctl_meterset(owner.get(), 1, -1, "");
  EXPECT_EQ(image(1), atSeventy);
  EXPECT_FLOAT_EQ(Ctl_entry(1)->value, 70);
  Ctl_meterset(owner.get(), 1, 0, "");
  EXPECT_EQ(image(1), atZero);
  EXPECT_GT(count(1, RGB(255, 255, 255)), 0);  // the caption
}

TEST_F(MeterTest, ShortenedCaptionLeavesNoTrace) {
  meter(owner.get(), 1, "ori_rosso", 120, 20, 2, 0);
  Ctl_meterset(owner.get(), 1, 40, "Registro lungo");
  Ctl_meterset(owner.get(), 1, 40, "R");
  meter(owner.get(), 2, "ori_rosso", 120, 20, 2, 0);
  Ctl_meterset(owner.get(), 2, 40, "R");
  EXPECT_EQ(image(1), image(2));
  EXPECT_EQ(Ctl_textget(Ctl_entry(1)->caption), "R");
  // The background was drawn once and saved.
  EXPECT_EQ(Ctl_slot(owner.get(), 1, 8), 1);
  EXPECT_EQ(BackgroundCache_entry(1)->size(), QSize(120, 20));
}

TEST_F(MeterTest, CaptionFormats) {
  EXPECT_EQ(Ctl_meterformat("%", 42.4f, 0), "42%");
  EXPECT_EQ(Ctl_meterformat("!", 25, 127), "32");
  EXPECT_EQ(Ctl_meterformat("%", 0, 0), "0%");
  EXPECT_EQ(Ctl_meterformat("Vol", 25, 127), "Vol");

  meter(owner.get(), 1, "ori_ago", 120, 20, 0, 0, "%");
  Ctl_meterset(owner.get(), 1, 42.4f, "");
  meter(owner.get(), 2, "ori_ago", 120, 20, 0, 0, "42%");
  Ctl_meterset(owner.get(), 2, 42.4f, "");
  EXPECT_EQ(image(1), image(2));
  EXPECT_EQ(Ctl_textget(Ctl_entry(1)->caption), "%");
}

TEST_F(MeterTest, EmptyKindGetsAFrameAndUnknownKindsNoIndicator) {
  meter(owner.get(), 1, "", 40, 20, 2, 0, "", 99);
  EXPECT_EQ(px(1, 39, 19), RGB(255, 255, 255));  // frame, not a bevel's dark edge
  meter(owner.get(), 2, "ledr", 40, 20, 2, 4, "", 99);
  QImage before = image(2);
  Ctl_meterset(owner.get(), 2, 90, "");
  EXPECT_EQ(image(2), before);
}

}  // namespace zt
