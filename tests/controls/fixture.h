// A fresh control table, an owner window on the offscreen screen and a
// scripted mouse for every test.
#pragma once

#include "controls/controls.h"

#include <gtest/gtest.h>
#include <QWidget>
#include <memory>
#include <utility>

namespace zt {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The colour of one pixel of control `id`.
  Colour px(int id, int x, int y);
  // The control's image (a copy).
  QImage image(int id);
  // Places the scripted cursor at a point of the owner's client area.
  void cursorAt(int x, int y);
  // Number of pixels of control `id` in exactly this colour.
  int count(int id, Colour c);

  std::unique_ptr<QWidget> owner;
  ScriptedInput mouse;
  static constexpr Colour kBackground = 0x00302010;  // red 16, green 32, blue 48
};

// The colour of an image pixel, packed as the controls pack colours.
Colour colourOf(QRgb p);
// Leftmost and rightmost columns of `img` holding colour c, or -1.
std::pair<int, int> columns(const QImage& img, Colour c);

}  // namespace zt
