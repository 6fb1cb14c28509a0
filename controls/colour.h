// Colours and rounding shared by every drawing routine of the control library.
#pragma once

#include <cmath>
#include <cstdint>

// A colour as the owners pass it: 0x00BBGGRR, red in the low byte.
using Colour = uint32_t;

// Packs three components, each clamped to 0..255 first.
inline Colour Ctl_rgb(int r, int g, int b)
{
    auto clamp = [](int c) { return c < 0 ? 0 : (c > 255 ? 255 : c); };
    return Colour(clamp(r)) | (Colour(clamp(g)) << 8) | (Colour(clamp(b)) << 16);
}

inline int Ctl_red(Colour c) { return int(c & 0xFF); }
inline int Ctl_green(Colour c) { return int((c >> 8) & 0xFF); }
inline int Ctl_blue(Colour c) { return int((c >> 16) & 0xFF); }

// Real number to integer: nearest, halves to even. Out-of-range and NaN
// values are pinned so that a wild argument cannot produce undefined results.
inline int Ctl_round(double x)
{
    if (!(x == x)) return 0;
    if (x > 1e9) return 1000000000;
    if (x < -1e9) return -1000000000;
    return int(std::nearbyint(x));
}
