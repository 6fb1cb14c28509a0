// Colour ramps, bevels, frames, faces and caption placement.
#include "tests/controls/fixture.h"

namespace zt {

namespace {

// A bare control to draw on with the primitives directly.
void blank(QWidget* owner, int id, int w, int h) {
  Ctl_add(owner, id, 0, 0, w, h, "");
  ASSERT_TRUE(Draw_select(owner, id));
}

}  // namespace

TEST(FrameColor, RampsByNameAndShade) {
  EXPECT_EQ(Ctl_framecolor("ROSSO", 0), RGB(255, 155, 155));
  EXPECT_EQ(Ctl_framecolor("rosso ", 0), RGB(255, 155, 155));
  EXPECT_EQ(Ctl_framecolor("rosso", 255), RGB(0, 0, 0));
  EXPECT_EQ(Ctl_framecolor("pulsanteoro", 255), RGB(155, 55, 0));
  EXPECT_EQ(Ctl_framecolor("pulsanteoro", 0), RGB(255, 255, 210));
  EXPECT_EQ(Ctl_framecolor("pulsanteblu", 255), RGB(55, 155, 155));
  EXPECT_EQ(Ctl_framecolor("pulsanteblu", 0), RGB(0, 0, 0));
  EXPECT_EQ(Ctl_framecolor("", 55), RGB(200, 200, 200));
  EXPECT_EQ(Ctl_framecolor("grigio", 300), RGB(0, 0, 0));
  EXPECT_EQ(Ctl_framecolor("verde", 100), RGB(55, 155, 55));
  EXPECT_EQ(Ctl_framecolor("oro", 100), RGB(155, 155, 55));
  EXPECT_EQ(Ctl_framecolor("pulsanteverde", 100), RGB(110, 255, 110));
  EXPECT_EQ(Ctl_framecolor("pulsantegrigio", 200), RGB(210, 210, 210));
  EXPECT_EQ(Ctl_framecolor("pulsanterosso", 100), RGB(255, 110, 110));
  EXPECT_EQ(Ctl_framecolor("blu", 0), RGB(0, 0, 0));
}

TEST(LampColor, RampsByNameStepRingAndIntensity) {
  EXPECT_EQ(Ctl_lampcolor("semaforo", 10, 0, 50), RGB(0, 0, 0));
  EXPECT_EQ(Ctl_lampcolor("semaforo", 10, 2, 0), RGB(0, 0, 0));
  EXPECT_EQ(Ctl_lampcolor("semaforo", 10, 3, 50),
            RGB(255, 150, 1));  // 85*50 clamps; 30/50 rounds to 1
  EXPECT_EQ(Ctl_lampcolor("verdino", 2, 3, 100), RGB(6, 206, 6));
  EXPECT_EQ(Ctl_lampcolor("", 2, 3, 0), RGB(6, 6, 6));
  EXPECT_EQ(Ctl_lampcolor("VERDINO", 2, 3, 100), RGB(6, 206, 6));
  EXPECT_EQ(Ctl_lampcolor(" verdino", 2, 3, 100), RGB(0, 0, 0));   // spaces are not removed
  EXPECT_EQ(Ctl_lampcolor("rosso", 13, -5, 100), RGB(135, 0, 0));  // the button's off lamp rim
  EXPECT_EQ(Ctl_lampcolor("rosso-giallo", 6, 10, 20.5f), RGB(205, 101, 60));
  EXPECT_EQ(Ctl_lampcolor("rosso-arancio", 6, 10, 20), RGB(200, 180, 60));
  EXPECT_EQ(Ctl_lampcolor("blu", 6, 2, 55), RGB(12, 122, 110));
  EXPECT_EQ(Ctl_lampcolor("blu-scuro", 6, 2, 55), RGB(12, 12, 122));
  EXPECT_EQ(Ctl_lampcolor("blu-bianco", 6, 2, 10), RGB(60, 20, 120));
  EXPECT_EQ(Ctl_lampcolor("giallo", 6, 2, 10), RGB(0, 0, 0));
  // Halves round to even: 2 x 0.25 + 0 = 0.5 -> 0, 2 x 0.75 = 1.5 -> 2.
  EXPECT_EQ(Ctl_lampcolor("rosso", 0, 0, 0.25f), RGB(0, 0, 0));
  EXPECT_EQ(Ctl_lampcolor("rosso", 0, 0, 0.75f), RGB(2, 0, 0));
}

TEST_F(ControlsTest, BevelOfZeroDrawsNothing) {
  blank(owner.get(), 1, 20, 12);
  QImage before = image(1);
  Ctl_bevel(0, "grigio");
  Ctl_bevel(-3, "grigio");
  Draw_release();
  EXPECT_EQ(image(1), before);
  EXPECT_EQ(count(1, kBackground), 20 * 12);
}

TEST_F(ControlsTest, BevelOfOneDrawsOneLineEachSide) {
  blank(owner.get(), 1, 20, 12);
  Ctl_bevel(1, "rosso");
  Draw_release();
  const Colour light = RGB(255, 155, 155);  // shade 0 on all four sides
  for (int x = 0; x < 20; ++x) {
    EXPECT_EQ(px(1, x, 0), light) << x;
    EXPECT_EQ(px(1, x, 11), light) << x;
  }
  for (int y = 0; y < 12; ++y) {
    EXPECT_EQ(px(1, 0, y), light) << y;
    EXPECT_EQ(px(1, 19, y), light) << y;
  }
  EXPECT_EQ(count(1, kBackground), 18 * 10);
}

TEST_F(ControlsTest, BevelOfThreeShadesInwards) {
  blank(owner.get(), 1, 20, 12);
  Ctl_bevel(3, "grigio");
  Draw_release();
  const Colour g255 = RGB(255, 255, 255), g170 = RGB(170, 170, 170), g85 = RGB(85, 85, 85);
  // Top and left: brightest outside.
  EXPECT_EQ(px(1, 0, 5), g255);
  EXPECT_EQ(px(1, 1, 5), g170);
  EXPECT_EQ(px(1, 2, 5), g85);
  EXPECT_EQ(px(1, 8, 0), g255);
  EXPECT_EQ(px(1, 8, 1), g170);
  EXPECT_EQ(px(1, 8, 2), g85);
  // Right and bottom: darkest outside.
  EXPECT_EQ(px(1, 19, 5), g85);
  EXPECT_EQ(px(1, 18, 5), g170);
  EXPECT_EQ(px(1, 17, 5), g255);
  EXPECT_EQ(px(1, 8, 11), g85);
  EXPECT_EQ(px(1, 8, 10), g170);
  EXPECT_EQ(px(1, 8, 9), g255);
  // Corners: the dark lines are drawn last and take the top-right corner;
  // the bottom-left belongs to the left line; the face is untouched.
  EXPECT_EQ(px(1, 19, 0), g85);
  EXPECT_EQ(px(1, 0, 11), g255);
  EXPECT_EQ(px(1, 3, 3), kBackground);
  EXPECT_EQ(count(1, kBackground), 14 * 6);
}

TEST_F(ControlsTest, FrameIsNestedRectanglesEndingInsideTheEdge) {
  blank(owner.get(), 1, 20, 12);
  Ctl_frame(2, "grigio");
  Draw_release();
  EXPECT_EQ(px(1, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(px(1, 19, 11), RGB(255, 255, 255));
  EXPECT_EQ(px(1, 1, 1), RGB(127, 127, 127));
  EXPECT_EQ(px(1, 18, 10), RGB(127, 127, 127));
  EXPECT_EQ(px(1, 2, 2), kBackground);
}

TEST_F(ControlsTest, FaceModesFillBetweenTheBevels) {
  // Mode 1, lit from above: line y = h - j has shade 255 - 255 j / h.
  blank(owner.get(), 1, 20, 10);
  Ctl_face(owner.get(), 1, 2, "grigio", 1);
  Draw_release();
  EXPECT_EQ(px(1, 5, 7), RGB(77, 77, 77));     // j = 3: shade round(178.5) = 178
  EXPECT_EQ(px(1, 5, 2), RGB(204, 204, 204));  // j = 8: shade 51
  EXPECT_EQ(px(1, 5, 8), kBackground);         // the bevel rows stay
  EXPECT_EQ(px(1, 1, 5), kBackground);
  EXPECT_EQ(px(1, 18, 5), kBackground);
  EXPECT_EQ(px(1, 17, 7), RGB(77, 77, 77));
  EXPECT_EQ(px(1, 17, 5), RGB(127, 127, 127));  // j = 5: shade round(127.5) = 128

  // Mode 0, horizontal cylinder, symmetric about the middle.
  blank(owner.get(), 2, 20, 10);
  Ctl_face(owner.get(), 2, 0, "grigio", 0);
  Draw_release();
  for (int y = 0; y < 5; ++y) EXPECT_EQ(px(2, 7, y), px(2, 7, 9 - y)) << y;
  EXPECT_EQ(px(2, 7, 0), RGB(25, 25, 25));  // j = 1: shade round(229.5) = 230

  // An unknown mode draws nothing.
  blank(owner.get(), 3, 20, 10);
  Ctl_face(owner.get(), 3, 0, "grigio", 7);
  Draw_release();
  EXPECT_EQ(count(3, kBackground), 200);
}

TEST_F(ControlsTest, CaptionAlignment) {
  const Colour ink = RGB(255, 255, 0);
  blank(owner.get(), 1, 120, 20);
  const int full = Draw_textwidth("<MMMM");
  Ctl_caption("<MMMM", ink, 0);
  Draw_release();
  auto left = columns(image(1), ink);
  EXPECT_GE(left.first, 0);
  EXPECT_LE(left.first, 1);
  EXPECT_LT(left.second, full);

  blank(owner.get(), 2, 120, 20);
  const int prefix = Draw_textwidth(">");
  const int rightText = Draw_textwidth(">MMMM");
  const int body = Draw_textwidth("MMMM");
  Ctl_caption(">MMMM", ink, 0);
  Draw_release();
  auto right = columns(image(2), ink);
  // Right-aligned text ends one prefix width short of the right edge.
  const int start = 2 * Ctl_round((120 - rightText) / 2.0);
  EXPECT_GE(right.first, start);
  EXPECT_LT(right.second, start + body);
  EXPECT_GE(right.second, start + body - 5);  // the last glyph's side bearing
  EXPECT_LE(start + body, 120 - prefix + 1);

  blank(owner.get(), 3, 120, 20);
  Ctl_caption("MMMM", ink, 0);
  Draw_release();
  auto centre = columns(image(3), ink);
  EXPECT_LE(std::abs(centre.first - (119 - centre.second)), 2);
  // Only the caption's colour was printed: no background box.
  EXPECT_EQ(count(3, kBackground) + count(3, ink), 120 * 20);
}

TEST_F(ControlsTest, CaptionShadowSitsTwoPixelsDownRight) {
  const Colour ink = RGB(255, 0, 0), shade = RGB(0, 45, 0);
  blank(owner.get(), 1, 80, 20);
  Ctl_caption("I", ink, shade);
  Draw_release();
  auto a = columns(image(1), ink);
  auto b = columns(image(1), shade);
  ASSERT_GE(a.first, 0);
  EXPECT_EQ(b.second, a.second + 2);

  // A shadow colour of 0 means no shadow.
  blank(owner.get(), 2, 80, 20);
  Ctl_caption("I", ink, 0);
  Draw_release();
  EXPECT_EQ(count(2, kBackground) + count(2, ink), 80 * 20);
}

TEST_F(ControlsTest, RelativeLinesLeaveOutTheirEndPoint) {
  blank(owner.get(), 1, 20, 20);
  const Colour c = RGB(1, 2, 3);
  Draw_moveto(2, 2);
  Draw_lineby(5, 0, c);
  Draw_lineby(0, 4, c);
  Draw_lineby(-5, 0, c);
  Draw_lineby(0, -4, c);
  Draw_moveto(10, 10);
  Draw_lineby(6, 3, c);
  Draw_release();
  EXPECT_EQ(count(1, c), 18 + 6);
  EXPECT_EQ(px(1, 2, 2), c);
  EXPECT_EQ(px(1, 7, 2), c);  // drawn by the second line's start
  EXPECT_EQ(px(1, 16, 13), kBackground);
  EXPECT_EQ(px(1, 10, 10), c);

  // Box corners are put in order; right and bottom are exclusive.
  blank(owner.get(), 2, 20, 20);
  Draw_box(8, 6, 2, 1, c, true, c, Shape::rectangle);
  Draw_release();
  EXPECT_EQ(count(2, c), 6 * 5);
  EXPECT_EQ(px(2, 2, 1), c);
  EXPECT_EQ(px(2, 7, 5), c);
  EXPECT_EQ(px(2, 8, 5), kBackground);
}

}  // namespace zt
