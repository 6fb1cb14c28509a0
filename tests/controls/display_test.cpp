// The green text display.
#include "tests/controls/fixture.h"

namespace zt {

namespace {

int display(QWidget* owner, int id, int& w, int& h) {
  Ctl_display(owner, id, 3, 40, w, h, "", 5, "verde", 0, 20, "", RGB(255, 0, 0), "", "", 5);
  return id;
}

}  // namespace

TEST_F(ControlsTest, DisplayReportsItsSizeAndDrawsItsScreen) {
  int w = 540, h = 43;
  display(owner.get(), 2620, w, h);
  EXPECT_EQ(w, 540);
  EXPECT_EQ(h, 43);
  // Bevel 5 of "verde", then the screen: dark green at its edge.
  EXPECT_EQ(px(2620, 0, 20), RGB(155, 255, 155));
  EXPECT_EQ(px(2620, 5, 20), RGB(0, 45, 0));
  EXPECT_EQ(px(2620, 270, 5), RGB(0, 45, 0));
  const Colour middle = px(2620, 270, 20);
  EXPECT_EQ(Ctl_red(middle), Ctl_blue(middle));
  EXPECT_EQ(Ctl_green(middle), Ctl_red(middle) + 45);
  EXPECT_GT(Ctl_red(middle), 0);
  EXPECT_EQ(image(2620), *BackgroundCache_entry(2620));
}

TEST_F(ControlsTest, DisplayTextHasAShadowAndClearsToTheScreen) {
  int w = 540, h = 43;
  display(owner.get(), 5, w, h);
  const QImage screen = image(5);
  Ctl_displayset(owner.get(), 5, "Nota 60 on");
  EXPECT_GT(count(5, RGB(255, 0, 0)), 20);
  // The shadow is the screen's edge green, two pixels down and right of the ink.
  int shadowBefore = 0;
  for (int y = 0; y < screen.height(); ++y)
    for (int x = 0; x < screen.width(); ++x)
      if (colourOf(screen.pixel(x, y)) == RGB(0, 45, 0)) ++shadowBefore;
  EXPECT_GT(count(5, RGB(0, 45, 0)), shadowBefore);
  auto ink = columns(image(5), RGB(255, 0, 0));
  EXPECT_LE(std::abs(ink.first - (539 - ink.second)), 4);  // centred

  Ctl_displayset(owner.get(), 5, "<Preset caricato");
  ink = columns(image(5), RGB(255, 0, 0));
  EXPECT_LE(ink.first, 2);

  Ctl_displayset(owner.get(), 5, ">Fine");
  ink = columns(image(5), RGB(255, 0, 0));
  EXPECT_GT(ink.second, 500);

  Ctl_displayset(owner.get(), 5, "");
  EXPECT_EQ(image(5), screen);
}

TEST_F(ControlsTest, DisplayFontIsFixedPitchEvenWhenTheFamilyIsMissing) {
  int w = 200, h = 40;
  display(owner.get(), 6, w, h);
  ASSERT_TRUE(Draw_select(owner.get(), 6));
  Draw_font("courier new", 13, true, true);
  EXPECT_EQ(Draw_textwidth("iiii"), Draw_textwidth("MMMM"));
  EXPECT_GT(Draw_textwidth("M"), 5);
  Draw_font("no such family zt", 13, true, true);
  EXPECT_EQ(Draw_textwidth("iiii"), Draw_textwidth("MMMM"));
  Draw_font("", 0, false);  // the default font
  EXPECT_LT(Draw_textwidth("iiii"), Draw_textwidth("MMMM"));
  Draw_release();
}

}  // namespace zt
