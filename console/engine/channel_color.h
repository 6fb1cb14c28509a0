#pragma once
#include <cstdint>

namespace zt {

// A colour value: red in the low byte, then green, then blue. Each component
// is clamped to 0..255.
constexpr int32_t RGB(int r, int g, int b) {
  auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
  return clamp(r) | (clamp(g) << 8) | (clamp(b) << 16);
}

// The colour with which the keys of a MIDI channel are marked; black for a
// value outside 0..15.
int32_t Midi_channelcolor(int channel);

// Keys of an added (multi-note) note.
constexpr int32_t kMultiNoteColor = RGB(205, 22, 22);

}  // namespace zt
