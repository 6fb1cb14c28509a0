#pragma once
// The platform services the engine calls: the MIDI device layer and the
// pauses of its commands. Attached once at start-up (and by tests).
#include "platform/midi/midi_in.h"
#include "platform/midi/midi_out.h"
#include "platform/midi/port_watch.h"

namespace zt {

struct EnginePlatform {
  MidiOut* midiOut = nullptr;
  MidiIn* midiIn = nullptr;
  // How long closing the output waits before returning, in ms.
  int closeWaitMs = 3000;
  // Blocks the calling (window) thread for `ms` milliseconds.
  void (*pause)(int ms) = nullptr;
  // The MIDI system's ports as they come and go (Midi_hotplug); null when
  // nothing watches them (no server, the memory backend).
  MidiPortWatch* portWatch = nullptr;
  // Whether keyboards are connected to the console's own input by
  // themselves (ZT_AUTOCONNECT).
  bool autoconnect = true;
};

extern EnginePlatform enginePlatform;

void Engine_attach(MidiOut& midiOut, MidiIn& midiIn);
void Engine_pause(int ms);

}  // namespace zt
