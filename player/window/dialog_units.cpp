#include "player/window/dialog_units.h"

#include <cmath>

namespace zt {

namespace {
int Px(double units, double scale) { return static_cast<int>(std::nearbyint(units * scale)); }
}  // namespace

QRect Dialog_pixels(int left, int top, int width, int height) {
  return QRect(Px(left, 1.5), Px(top, 1.625), Px(width, 1.5), Px(height, 1.625));
}

}  // namespace zt
