#pragma once
// Dialog units in pixels. The windows are laid out in the base units of the
// classic 8-point dialog font, fixed so that they have the same size
// everywhere: a unit is 1.5 pixels across and 1.625 pixels down, rounded to
// the nearest pixel with halves to even.
namespace zt {

int Dialog_x(int units);
int Dialog_y(int units);

}  // namespace zt
