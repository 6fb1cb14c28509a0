// Two-state buttons, pictures, rectangular and round lamps.
#include "tests/controls/fixture.h"

#include <QDir>
#include <QTemporaryDir>

namespace zt {

namespace {

const Colour kInk = 0x00FFFFFF;

void button(QWidget* owner, int id, const std::string& picture, const char* caption) {
  Ctl_button(owner, id, 0, 0, 100, 26, picture, 2, "rosso", caption, kInk, "rosso", 2, 5);
}

// Ink pixels left of and right of the middle: the caption's two parts differ.
int inkIn(const QImage& img, int x1, int x2) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = x1; x < x2; ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) ++n;
  return n;
}

}  // namespace

TEST_F(ControlsTest, ButtonFlipsBetweenRestAndOn) {
  button(owner.get(), 112, "", "OFF/ONNN");
  EXPECT_EQ(Ctl_slot(owner.get(), 112, 1), 0);
  const QImage rest = image(112);
  // The lamp at the left end, centred vertically: red at rest.
  const Colour restLamp = px(112, 13, 13);
  EXPECT_EQ(restLamp, Ctl_lampcolor("rosso", Ctl_round(255 / 26.0), 0, 100));
  EXPECT_EQ(restLamp, RGB(200, 0, 0));
  // Face mode 2 at rest: column 2 is the face's line j = 3.
  EXPECT_EQ(px(112, 2, 13), Ctl_framecolor("rosso", Ctl_round(255 - 255 * 3 / 100.0)));
  const int restInk = inkIn(rest, 20, 100);

  Ctl_buttonflip(owner.get(), 112, "");
  EXPECT_EQ(Ctl_slot(owner.get(), 112, 1), 1);
  EXPECT_EQ(px(112, 13, 13), RGB(0, 200, 0));
  // One pixel more of bevel: column 2 now holds the bevel's third line.
  EXPECT_EQ(px(112, 2, 13), Ctl_framecolor("rosso", Ctl_round(255.0 * 2 / 3)));
  EXPECT_GT(inkIn(image(112), 20, 100), restInk);  // "ONNN" is wider than "OFF"

  Ctl_buttonflip(owner.get(), 112, "");
  EXPECT_EQ(Ctl_slot(owner.get(), 112, 1), 0);
  EXPECT_EQ(image(112), rest);
}

TEST_F(ControlsTest, ButtonWithoutSlashShowsItsTextOnlyAtRest) {
  button(owner.get(), 113, "", "NOTE OFF");
  EXPECT_GT(inkIn(image(113), 20, 100), 10);
  Ctl_buttonflip(owner.get(), 113, "");
  EXPECT_EQ(inkIn(image(113), 20, 100), 0);
  // A caption given to the flip is used for this drawing only.
  Ctl_buttonflip(owner.get(), 113, "Pausa/Pausato");
  EXPECT_GT(inkIn(image(113), 20, 100), 10);
  EXPECT_EQ(Ctl_textget(Ctl_entry(113)->caption), "NOTE OFF");
}

TEST_F(ControlsTest, ButtonPicturesGoToSlotsTwoAndThree) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString before = QDir::currentPath();
  QDir::setCurrent(dir.path());
  QImage on(10, 10, QImage::Format_RGB32), rest(10, 10, QImage::Format_RGB32);
  on.fill(QColor(0, 200, 0));
  rest.fill(QColor(200, 0, 0));
  ASSERT_TRUE(on.save("acceso.bmp", "BMP"));
  ASSERT_TRUE(rest.save("spento.bmp", "BMP"));

  // "on/rest": the name after "/" shows at rest and goes to slot 2.
  button(owner.get(), 1, "acceso.bmp/spento", "A/B");
  EXPECT_NE(Ctl_slot(owner.get(), 1, 2), 0);
  EXPECT_NE(Ctl_slot(owner.get(), 1, 3), 0);
  EXPECT_EQ(Ctl_slot(owner.get(), 1, 1), 0);
  EXPECT_EQ(px(1, 50, 13), RGB(200, 0, 0));
  EXPECT_EQ(count(1, RGB(200, 0, 0)), 100 * 26);  // stretched, no caption
  Ctl_buttonflip(owner.get(), 1, "");
  EXPECT_EQ(count(1, RGB(0, 200, 0)), 100 * 26);
  Ctl_buttonflip(owner.get(), 1, "");
  EXPECT_EQ(count(1, RGB(200, 0, 0)), 100 * 26);

  // One name: slot 2 only. Missing names leave the slots at 0.
  Ctl_meter(owner.get(), 2, 0, 0, 40, 14, "spento.bmp", 0, "grigio", 0, 0, "", 0, "ori_rosso",
            "grigio", 6);
  EXPECT_NE(Ctl_slot(owner.get(), 2, 2), 0);
  EXPECT_EQ(Ctl_slot(owner.get(), 2, 3), 0);
  EXPECT_EQ(px(2, 20, 7), RGB(200, 0, 0));  // face mode 6 draws slot 2
  button(owner.get(), 3, "manca/niente", "A/B");
  EXPECT_EQ(Ctl_slot(owner.get(), 3, 2), 0);
  EXPECT_EQ(Ctl_slot(owner.get(), 3, 3), 0);
  EXPECT_EQ(px(3, 13, 13), RGB(200, 0, 0));  // drawn as a plain button
  QDir::setCurrent(before);
}

TEST_F(ControlsTest, SlashAloneFlipsTwiceAndRestsOff) {
  button(owner.get(), 4, "/", "X/Y");
  EXPECT_EQ(Ctl_slot(owner.get(), 4, 1), 0);
  EXPECT_EQ(Ctl_slot(owner.get(), 4, 2), 0);
}

TEST_F(ControlsTest, RectangularLampFollowsIntensity) {
  Ctl_lamp(owner.get(), 150, 0, 0, 40, 16, "", 2, "oro", 0, "verdino", "", 0);
  EXPECT_EQ(Ctl_textget(Ctl_entry(150)->kind), "ledr");
  // Off: every ring grey.
  for (int x = 2; x < 38; x += 3) {
    Colour c = px(150, x, 8);
    EXPECT_EQ(Ctl_red(c), Ctl_green(c)) << x;
    EXPECT_EQ(Ctl_blue(c), Ctl_green(c)) << x;
  }
  Ctl_lampset(owner.get(), 150, 100, "");
  for (int x = 2; x < 38; x += 3) EXPECT_GE(Ctl_green(px(150, x, 8)), 200) << x;
  EXPECT_FLOAT_EQ(Ctl_entry(150)->value, 100);
  Ctl_lampset(owner.get(), 150, -20, "");
  EXPECT_FLOAT_EQ(Ctl_entry(150)->value, -20);
  // The bevel stays.
  EXPECT_EQ(px(150, 0, 8), Ctl_framecolor("oro", 0));

  // A caption for one update is drawn but not stored.
  Ctl_lampset(owner.get(), 150, 0, "7");
  EXPECT_GT(count(150, 0), 0);
  EXPECT_EQ(Ctl_textget(Ctl_entry(150)->caption), "");
}

TEST_F(ControlsTest, RoundLampLightsInsideItsRing) {
  Ctl_roundlamp(owner.get(), 130, 0, 0, 20, 20, "ignored.bmp", 2, "ignored", 100, "rosso", "0",
                RGB(192, 192, 192));
  EXPECT_FLOAT_EQ(Ctl_entry(130)->value, 0);
  EXPECT_EQ(px(130, 0, 0), kBackground);
  EXPECT_EQ(px(130, 19, 19), kBackground);
  EXPECT_EQ(Ctl_slot(owner.get(), 130, 2), 0);
  Ctl_roundlampset(owner.get(), 130, 128, "");
  EXPECT_EQ(Ctl_red(px(130, 5, 5)), 255);
  EXPECT_GT(count(130, RGB(192, 192, 192)), 0);  // the stored caption
  EXPECT_EQ(px(130, 0, 0), kBackground);

  // Bevel 0: no grey ring, but the light is drawn.
  Ctl_roundlamp(owner.get(), 131, 30, 0, 20, 20, "", 0, "", 0, "verdino", "", 0);
  Ctl_roundlampset(owner.get(), 131, 100, "");
  EXPECT_GE(Ctl_green(px(131, 8, 8)), 200);
  EXPECT_EQ(px(131, 0, 0), kBackground);
}

}  // namespace zt
