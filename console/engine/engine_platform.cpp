#include "console/engine/engine_platform.h"

#include <chrono>
#include <thread>

namespace zt {

namespace {
void sleepFor(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
}  // namespace

EnginePlatform enginePlatform{nullptr, nullptr, 3000, sleepFor};

void Engine_attach(MidiOut& midiOut, MidiIn& midiIn) {
  enginePlatform.midiOut = &midiOut;
  enginePlatform.midiIn = &midiIn;
}

void Engine_pause(int ms) {
  if (ms > 0 && enginePlatform.pause) enginePlatform.pause(ms);
}

}  // namespace zt
