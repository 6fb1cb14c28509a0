#pragma once
// Dialog units of the player window in pixels: the base units of the classic
// 8-point dialog font, fixed so the window has the same size everywhere.
#include <QRect>

namespace zt {

// x x 1.5 and y x 1.625 pixels, each rounded to the nearest pixel (halves to
// even), applied to position and size alike.
QRect Dialog_pixels(int left, int top, int width, int height);

}  // namespace zt
