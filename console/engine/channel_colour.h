#pragma once
#include <cstdint>

#include "common/colour.h"

namespace zt {

// The colour with which the keys of a MIDI channel are marked; black for a
// value outside 0..15.
int32_t Midi_channelcolor(int channel);

// Keys of an added (multi-note) note.
constexpr int32_t kMultiNoteColour = RGB(205, 22, 22);

}  // namespace zt
