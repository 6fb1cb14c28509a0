// The rotary knob: angle and percentage arithmetic and the cursor's angle.
#include "tests/controls/fixture.h"

namespace zt {

namespace {

void knob(QWidget* owner, int id) {
  Ctl_knob(owner, id, 3, 320, 100, 100, "", 10, 24, -151, 151, 100);
}

}  // namespace

TEST_F(ControlsTest, KnobStoresItsRangeAndStartsAtThePercentage) {
  knob(owner.get(), 121);
  ControlRecord* rec = Ctl_entry(121);
  EXPECT_EQ(rec->bevel, 11);
  EXPECT_EQ(rec->scale, 24);
  EXPECT_EQ(rec->textColor, -151);
  EXPECT_EQ(rec->faceMode, 151);
  EXPECT_FLOAT_EQ(rec->value, 100);
  EXPECT_EQ(px(121, 0, 0), kBackground);  // corners in the library colour
  EXPECT_EQ(BackgroundCache_entry(121)->size(), QSize(100, 100));
}

TEST_F(ControlsTest, KnobAnglesBecomeWholePercentages) {
  knob(owner.get(), 121);
  struct Case {
    int angle;
    float percent;
  } cases[] = {{151, 100}, {0, 50}, {1, 50}, {-150, 0}, {-151, 0}, {60, 69}};
  for (const Case& c : cases) {
    Ctl_knobset(owner.get(), 121, c.angle);
    EXPECT_FLOAT_EQ(Ctl_entry(121)->value, c.percent) << c.angle;
  }
  const QImage before = image(121);
  Ctl_knobset(owner.get(), 121, 152);
  Ctl_knobset(owner.get(), 121, -152);
  EXPECT_FLOAT_EQ(Ctl_entry(121)->value, 69);
  EXPECT_EQ(image(121), before);
}

TEST_F(ControlsTest, KnobDotAndFigureMoveWithTheAngle) {
  knob(owner.get(), 121);
  const Colour yellow = RGB(255, 255, 0);
  Ctl_knobset(owner.get(), 121, 0);
  EXPECT_GT(count(121, yellow), 5);
  // Pointer straight up: the dot's brightest disc sits above the centre,
  // around (50, 50 - 0.8 x 39).
  auto redAt = [&](int x, int y) {
    return Ctl_red(px(121, x, y)) >= 155 && Ctl_green(px(121, x, y)) < Ctl_red(px(121, x, y));
  };
  EXPECT_TRUE(redAt(50, 19));
  Ctl_knobset(owner.get(), 121, 90);
  EXPECT_TRUE(redAt(81, 50));
  EXPECT_FALSE(redAt(50, 19));
}

TEST_F(ControlsTest, KnobAngleOfTheCursorAroundTheCentre) {
  knob(owner.get(), 121);  // centre at (53, 370)
  cursorAt(53, 330);
  EXPECT_NEAR(Ctl_knobangle(owner.get(), 121), 0, 0.1);
  cursorAt(93, 370);
  EXPECT_NEAR(Ctl_knobangle(owner.get(), 121), 90, 0.1);
  cursorAt(53, 410);
  EXPECT_NEAR(std::abs(Ctl_knobangle(owner.get(), 121)), 180, 0.1);
  cursorAt(13, 370);
  EXPECT_NEAR(Ctl_knobangle(owner.get(), 121), -90, 0.1);
  cursorAt(93, 330);
  EXPECT_NEAR(Ctl_knobangle(owner.get(), 121), 45, 0.1);
  cursorAt(13, 410);
  EXPECT_NEAR(Ctl_knobangle(owner.get(), 121), -135, 0.1);
}

TEST(KnobAngle, DrawingLayerAngles) {
  // Bearing b is passed as d = b - 90 and comes back as the usual
  // counter-clockwise angle 90 - b (mod 360).
  const double pi = 3.14159265358979323846;
  EXPECT_NEAR(std::fmod(Ctl_angle(0 - 90), 2 * pi), pi / 2, 1e-12);
  EXPECT_NEAR(std::fmod(Ctl_angle(90 - 90), 2 * pi), 0, 1e-12);
  EXPECT_NEAR(Ctl_angle(180 - 90), 1.5 * pi, 1e-12);
}

}  // namespace zt
