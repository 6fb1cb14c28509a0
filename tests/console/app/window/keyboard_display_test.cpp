// The on-screen keyboards drawn into their real widgets on the offscreen
// platform, with the mouse pointer placed by a scripted input state.
#include "console/app/window/keyboard_display.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "console/engine/channel_colour.h"
#include "controls/control_table.h"
#include "controls/input_state.h"

namespace zt {
namespace {

constexpr int kUpper = 100;
constexpr int kLower = 101;
constexpr Colour kBackground = 0x00102030;

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ControlTable_create();
    Ctl_setbackground(kBackground);
    Keyboard_reset();
    window = std::make_unique<QWidget>();
    window->setGeometry(40, 30, 1030, 690);
    Keyboard_create(window.get(), kUpper, QRect(6, 440, 800, 64));
    Keyboard_create(window.get(), kLower, QRect(6, 509, 800, 64));
    window->show();
    Input_set(&mouse);
  }
  void TearDown() override {
    Input_set(nullptr);
    window.reset();
    Keyboard_reset();
  }

  Colour px(int id, int x, int y) {
    const QRgb c = Keyboard_display(id)->image().pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
  }
  QImage image(int id) { return Keyboard_display(id)->image().copy(); }
  int count(int id, Colour c) {
    const QImage img = image(id);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (px(id, x, y) == c) ++n;
    return n;
  }
  // Places the pointer at (dx, dy) from the display's top-left corner.
  int keyAt(int id, int dx, int dy) {
    const QPoint corner = Keyboard_display(id)->geometry().topLeft();
    mouse.move(window->mapToGlobal(corner + QPoint(dx, dy)));
    return Key_at(id);
  }

  std::unique_ptr<QWidget> window;
  ScriptedInput mouse;
  const Colour white = RGB(255, 255, 210);
  const Colour black = RGB(55, 55, 50);
  const Colour outline = RGB(0, 0, 0);
};

TEST(KeyGeometry, BlackKeysAndWhitePositions) {
  int blacks = 0;
  for (int k = 1; k <= kKeys; ++k) blacks += Key_isblack(k);
  EXPECT_EQ(kKeys - blacks, kWhiteKeys);
  for (int k : {2, 4, 7, 9, 11, 14, 71}) EXPECT_TRUE(Key_isblack(k)) << k;
  for (int k : {1, 3, 5, 6, 8, 10, 12, 13, 72}) EXPECT_FALSE(Key_isblack(k)) << k;
  EXPECT_EQ(Key_whiteposition(1), 0);
  EXPECT_EQ(Key_whiteposition(2), 0);   // C# sits on C's right edge
  EXPECT_EQ(Key_whiteposition(12), 6);  // B
  EXPECT_EQ(Key_whiteposition(13), 7);  // next C
  EXPECT_EQ(Key_whiteposition(72), 41);
}

// Key 1 (C) on an 800 x 64 display: kw = 800/42, L = 63, the cut at 0.6 L.
TEST_F(KeyboardTest, WhiteKeyOutlineAndFill) {
  Keyboard_draw(kUpper, 0, -1);
  EXPECT_EQ(px(kUpper, 0, 0), outline);    // left edge
  EXPECT_EQ(px(kUpper, 0, 63), outline);   // bottom-left corner
  EXPECT_EQ(px(kUpper, 10, 63), outline);  // bottom edge
  EXPECT_EQ(px(kUpper, 11, 10), outline);  // right edge of the narrow part, 0.6 kw
  EXPECT_EQ(px(kUpper, 15, 38), outline);  // the step at 0.6 L
  EXPECT_EQ(px(kUpper, 19, 50), outline);  // right edge of the wide part, kw
  EXPECT_EQ(px(kUpper, 5, 20), white);     // narrow part
  EXPECT_EQ(px(kUpper, 15, 50), white);    // wide part, under the black key
  EXPECT_EQ(px(kUpper, 1, 62), white);
  // Between the white key's cut and the black key nothing is drawn.
  EXPECT_EQ(px(kUpper, 12, 20), kBackground);
  // The last key: its left edge at 41 kw = 780.95; its right edge, at
  // 42 kw = 800, falls just outside the display.
  EXPECT_EQ(px(kUpper, 781, 50), outline);
  EXPECT_EQ(px(kUpper, 790, 50), white);
  EXPECT_EQ(px(kUpper, 799, 50), white);
}

TEST_F(KeyboardTest, BlackKeyTwoSpansItsBounds) {
  Keyboard_draw(kUpper, 0, -1);
  // 0.65 kw + 1 = 13.38 -> 13; 1.4 kw - 1 = 25.67 -> 26, right edge outside;
  // from y = 1 to 0.6 L - 1 = 36.8 -> 37, bottom edge outside.
  EXPECT_EQ(px(kUpper, 13, 1), black);
  EXPECT_EQ(px(kUpper, 25, 36), black);
  EXPECT_EQ(px(kUpper, 20, 20), black);
  EXPECT_NE(px(kUpper, 12, 10), black);
  EXPECT_NE(px(kUpper, 26, 10), black);
  EXPECT_NE(px(kUpper, 20, 0), black);
  EXPECT_NE(px(kUpper, 20, 37), black);
  EXPECT_EQ(px(kUpper, 20, 45), white);  // below it, C's and D's wide parts
}

TEST_F(KeyboardTest, MarkingAndRestoringKeys) {
  Keyboard_draw(kUpper, 0, -1);
  const QImage natural = image(kUpper);

  Keyboard_draw(kUpper, 1, Midi_channelcolor(0));
  EXPECT_EQ(px(kUpper, 5, 20), RGB(255, 0, 0));
  EXPECT_EQ(px(kUpper, 15, 50), RGB(255, 0, 0));
  EXPECT_EQ(px(kUpper, 0, 20), outline);  // the outline stays black
  EXPECT_EQ(px(kUpper, 20, 20), black);   // the black key above is untouched

  Keyboard_draw(kUpper, 2, Midi_channelcolor(10));
  EXPECT_EQ(px(kUpper, 20, 20), RGB(63, 63, 192));
  EXPECT_EQ(count(kUpper, RGB(63, 63, 192)), (26 - 13) * (37 - 1));

  // Colour 0 is a colour (black), not "natural".
  Keyboard_draw(kUpper, 72, 0);
  EXPECT_EQ(px(kUpper, 790, 50), RGB(0, 0, 0));

  for (int k : {1, 2, 72}) Keyboard_draw(kUpper, k, -2);
  EXPECT_EQ(image(kUpper), natural);
  // The other display was never drawn.
  EXPECT_EQ(px(kLower, 5, 20), kBackground);
}

TEST_F(KeyboardTest, CompleteRedrawIsTheCachedFirstDrawing) {
  EXPECT_TRUE(keyboardImage.isNull());
  Keyboard_draw(kUpper, 0, -1);
  ASSERT_FALSE(keyboardImage.isNull());
  EXPECT_EQ(keyboardImage, image(kUpper));

  // Names appear on keys drawn singly...
  const Colour blueName = RGB(0, 0, 255), yellowName = RGB(255, 255, 0);
  noteNamesOn = 1;
  Keyboard_draw(kUpper, 1, -2);
  Keyboard_draw(kUpper, 2, -2);
  EXPECT_GT(count(kUpper, blueName), 0);
  EXPECT_GT(count(kUpper, yellowName), 0);
  // ...and a complete drawing removes them again: it is the first one copied.
  Keyboard_draw(kUpper, 0, -1);
  EXPECT_EQ(count(kUpper, blueName), 0);
  EXPECT_EQ(count(kUpper, yellowName), 0);
  EXPECT_EQ(image(kUpper), keyboardImage);

  // The same image serves the other display, even after the colours change.
  whiteKeyColor = RGB(1, 2, 3);
  Keyboard_draw(kLower, 0, -1);
  EXPECT_EQ(image(kLower), keyboardImage);
  EXPECT_EQ(px(kLower, 5, 20), white);
  // A single key uses the colour of the moment.
  Keyboard_draw(kLower, 1, -2);
  EXPECT_EQ(px(kLower, 5, 20), RGB(1, 2, 3));
}

TEST_F(KeyboardTest, KeyAtEdgesAndBands) {
  // Lower band (dy > 0.6 H = 38.4): white keys only.
  EXPECT_EQ(keyAt(kLower, 0, 50), 1);
  EXPECT_EQ(keyAt(kLower, 799, 50), 72);
  EXPECT_EQ(keyAt(kLower, 20, 50), 3);   // second white key, D
  EXPECT_EQ(keyAt(kLower, 800, 50), 0);  // beside the last white key
  // Upper band: 72 equal slices, black key drawn there or not.
  EXPECT_EQ(keyAt(kUpper, 100, 10), 10);
  EXPECT_EQ(keyAt(kUpper, 0, 0), 1);
  EXPECT_EQ(keyAt(kUpper, 799, 0), 72);
  EXPECT_EQ(keyAt(kUpper, 15, 38), 2);  // last row of the upper band
  EXPECT_EQ(keyAt(kUpper, 15, 39), 1);  // first row of the lower band
  EXPECT_EQ(Key_at(999), 0);            // no such display
}

TEST_F(KeyboardTest, BandBoundaryBelongsToTheUpperBand) {
  // A display 70 high puts the boundary 0.6 H exactly on row 42.
  Keyboard_create(window.get(), kLower, QRect(6, 509, 800, 70));
  EXPECT_EQ(keyAt(kLower, 15, 42), 2);  // upper band: 15 / (800/72) + 1
  EXPECT_EQ(keyAt(kLower, 15, 43), 1);  // lower band: first white key
}

TEST_F(KeyboardTest, KeyAtFollowsTheWindowPosition) {
  window->move(300, 200);
  EXPECT_EQ(keyAt(kUpper, 100, 10), 10);
  EXPECT_EQ(keyAt(kLower, 799, 50), 72);
  // Each display measures from its own corner: the pointer near the top of
  // the lower display is in the lower band of the upper one.
  mouse.move(window->mapToGlobal(QPoint(6 + 15, 509 + 10)));
  EXPECT_EQ(Key_at(kLower), 2);
  EXPECT_EQ(Key_at(kUpper), 1);
}

}  // namespace
}  // namespace zt
