#pragma once
// The platform services the engine calls: the MIDI device layer and the
// pauses of its commands. Attached once at start-up (and by tests).
#include "platform/midi/midi_in.h"
#include "platform/midi/midi_out.h"

namespace zt {

struct EnginePlatform {
  MidiOut* midiOut = nullptr;
  MidiIn* midiIn = nullptr;
  // How long closing the output waits before returning, in ms.
  int closeWaitMs = 3000;
  // Blocks the calling (window) thread for `ms` milliseconds.
  void (*pause)(int ms) = nullptr;
};

extern EnginePlatform enginePlatform;

void Engine_attach(MidiOut& midiOut, MidiIn& midiIn);
void Engine_pause(int ms);

}  // namespace zt
