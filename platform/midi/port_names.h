#pragma once
// What the console calls the ports of the MIDI system, and which of them it
// leaves alone.
//
// A port's system name can carry numbers that the system hands out afresh
// each time a client starts or a device is plugged in: the ALSA sequencer's
// "20:0" at the end of RtMidi's names, the "[20]" that the ALSA-to-JACK
// bridges put in theirs. The stable name leaves them out, so a device
// remembered by it is found again in the next run and after a replug.
#include <string>
#include <string_view>
#include <vector>

namespace zt {

// The console's own client and ports.
struct RtMidiNames {
  static constexpr const char* kClient = "ZT";
  static constexpr const char* kInputPort = "ZT input";
  static constexpr const char* kOutputPort = "ZT output";
};

// The name without the numbers that change between runs ("USB Keyboard:USB
// Keyboard MIDI 1 20:0" becomes "USB Keyboard:USB Keyboard MIDI 1"). A name
// without such numbers (JACK's, "FluidSynth", "ZT input") is its own stable
// name.
std::string Midi_stablename(std::string_view name);

// The index of the first name in `names` whose stable name is `stable`;
// -1 when none has it (or `stable` is empty).
int Midi_findstable(const std::vector<std::string>& names, const std::string& stable);

// Ports of a client called "ZT" (JACK calls a second client of the same name
// "ZT-01", and so on) are the console's own. `name` is "client:port".
bool Midi_isownport(std::string_view name);

// ALSA's "Midi Through" client (and its bridges to JACK) sends on whatever
// it is sent: feeding it to the console's input could make a loop.
bool Midi_isthroughport(std::string_view name);

}  // namespace zt
