#pragma once
// One stored event of a track, as playback reads it.
#include <cstdint>

namespace zt {

struct MidiEvent {
  // Channel messages: the status byte with its channel (0x80-0xEF).
  // Texts: the meta type 1-6. Tempo: 81. Time signature: 88.
  int64_t kind = 0;
  // First data byte; for texts the TextTable entry number; for a tempo the
  // tempo in BPM; for a time signature its numerator.
  int64_t first = 0;
  // Second data byte (0 for program change and channel pressure); 0 for
  // texts and tempo; for a time signature the denominator.
  int64_t second = 0;
  // Absolute time in ticks from the start of the event's track.
  int64_t tick = 0;
};

// Event kinds the reader stores besides channel messages and texts 1-6.
inline constexpr int64_t kKindTempo = 81;
inline constexpr int64_t kKindTimeSignature = 88;

}  // namespace zt
