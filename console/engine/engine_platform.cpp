#include "console/engine/engine_platform.h"

#include <chrono>
#include <thread>

#include "console/engine/display_seam.h"
#include "platform/midi/midi_log.h"

namespace zt {

namespace {
void sleepFor(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
}  // namespace

EnginePlatform enginePlatform{nullptr, nullptr, 3000, sleepFor};

void Engine_attach(MidiOut& midiOut, MidiIn& midiIn) {
  // The device layer's notices (the synthesiser's audio) join the message log.
  Midi_setlog(Log_line);
  enginePlatform.midiOut = &midiOut;
  enginePlatform.midiIn = &midiIn;
}

void Engine_pause(int ms) {
  if (ms > 0 && enginePlatform.pause) enginePlatform.pause(ms);
}

}  // namespace zt
