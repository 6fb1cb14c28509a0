#pragma once
// Colour values as both programs pass them: 32 bits, red in the low byte,
// then green, then blue.
#include <cstdint>

namespace zt {

// Packs three components, each clamped to 0..255 first.
constexpr int32_t RGB(int r, int g, int b) {
  auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
  return clamp(r) | (clamp(g) << 8) | (clamp(b) << 16);
}

}  // namespace zt
