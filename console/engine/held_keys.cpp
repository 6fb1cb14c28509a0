#include "console/engine/held_keys.h"

#include <array>
#include <atomic>
#include <cstdint>

#include "common/midi_message.h"
#include "console/engine/console_state.h"
#include "console/engine/control_ids.h"
#include "console/engine/display_seam.h"
#include "console/engine/midi_routing.h"
#include "console/engine/midi_send.h"

namespace zt {

namespace {

// One bit per (channel, key): 16 channels of two 64-bit words.
std::array<std::atomic<uint64_t>, 32> held{};

bool inRange(int channel, int note) {
  return channel >= 0 && channel < 16 && note >= 0 && note < 128;
}

}  // namespace

void Keys_down(int channel, int note) {
  if (!inRange(channel, note)) return;
  held[channel * 2 + note / 64].fetch_or(uint64_t{1} << (note % 64), std::memory_order_relaxed);
}

void Keys_up(int channel, int note) {
  if (!inRange(channel, note)) return;
  held[channel * 2 + note / 64].fetch_and(~(uint64_t{1} << (note % 64)), std::memory_order_relaxed);
}

void Keys_forget() {
  for (auto& word : held) word.store(0, std::memory_order_relaxed);
}

int Keys_releaseall() {
  int released = 0;
  for (int word = 0; word < 32; ++word) {
    uint64_t keys = held[word].exchange(0, std::memory_order_relaxed);
    const int channel = word / 2;
    for (int bit = 0; keys != 0; ++bit, keys >>= 1) {
      if (!(keys & 1)) continue;
      const int note = (word % 2) * 64 + bit;
      Midi_noteoff(note, consoleState.outChannel, channel == 0 ? kKeyboardUpper : kKeyboardLower);
      Midi_message(kNoteOff, note, 0, channel);
      ++released;
    }
  }
  return released;
}

}  // namespace zt
