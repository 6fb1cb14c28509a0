// Colours and rounding shared by every drawing routine of the control library.
#pragma once

#include <QColor>
#include <algorithm>
#include <cstdint>

#include "common/colour.h"
#include "common/rounding.h"

namespace zt {

// A colour as the owners pass it, packed by RGB: 0x00BBGGRR, red in the low
// byte. Negative values are never drawn; owners use them as markers.
using Colour = int32_t;

inline int Ctl_red(Colour c) { return c & 0xFF; }
inline int Ctl_green(Colour c) { return (c >> 8) & 0xFF; }
inline int Ctl_blue(Colour c) { return (c >> 16) & 0xFF; }
// The same colour for Qt.
inline QColor Ctl_qcolour(Colour c) { return QColor(Ctl_red(c), Ctl_green(c), Ctl_blue(c)); }

// A drawing coordinate or component: nearest, halves to even, pinned to
// +-1e9 first, so that sums of a few of them never overflow.
inline int Ctl_round(double x) { return Round_even(std::clamp(x, -1e9, 1e9)); }

}  // namespace zt
