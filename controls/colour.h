// Colours and rounding shared by every drawing routine of the control library.
#pragma once

#include <algorithm>
#include <cstdint>

#include "common/colour.h"
#include "common/rounding.h"

// A colour as the owners pass it: 0x00BBGGRR, red in the low byte.
using Colour = uint32_t;

// The packed colour (zt::RGB: each component clamped to 0..255) as the
// control library's unsigned Colour.
constexpr Colour Ctl_rgb(int r, int g, int b) { return static_cast<Colour>(zt::RGB(r, g, b)); }

inline int Ctl_red(Colour c) { return int(c & 0xFF); }
inline int Ctl_green(Colour c) { return int((c >> 8) & 0xFF); }
inline int Ctl_blue(Colour c) { return int((c >> 16) & 0xFF); }

// A drawing coordinate or component: nearest, halves to even, pinned to
// +-1e9 first, so that sums of a few of them never overflow.
inline int Ctl_round(double x) { return zt::Round_even(std::clamp(x, -1e9, 1e9)); }
