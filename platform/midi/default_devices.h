#pragma once
// The console's MIDI devices as the environment chooses them: output device
// 0 is the embedded synthesiser, then the system's ports; input device 0 is
// the console's own virtual input, then the system's ports.
#include "platform/midi/midi_in.h"
#include "platform/midi/midi_out.h"

namespace zt {

void Platform_mididevices(MidiOut& out, MidiIn& in);

}  // namespace zt
