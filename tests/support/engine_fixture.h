#pragma once
// A console engine on the memory MIDI backend with a display sink that
// records every request, for the engine suites.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "console/engine/engine.h"
#include "platform/midi/memory_midi.h"
#include "tests/support/recording_sink.h"

namespace zt::test {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    State_reset();
    Display_reset();
    outDriver = std::make_shared<MemoryMidiOutDriver>(
        std::vector<std::string>{"FluidSynth", "Port A", "Port B"});
    inDriver = std::make_shared<MemoryMidiInDriver>(std::vector<std::string>{"ZT input", "Keyboard"});
    midiOut = std::make_unique<MidiOut>();
    midiIn = std::make_unique<MidiIn>();
    midiOut->addDriver(outDriver);
    midiIn->addDriver(inDriver);
    Engine_attach(*midiOut, *midiIn);
    enginePlatform.closeWaitMs = 3000;
    pauses().clear();
    enginePlatform.pause = [](int ms) { pauses().push_back(ms); };
    Display_attach(&sink);
  }

  void TearDown() override {
    if (consoleState.hMidiIn != 0) Midi_closein();
    midiIn.reset();
    midiOut.reset();
    Display_attach(nullptr);
    Display_reset();
    enginePlatform.midiOut = nullptr;
    enginePlatform.midiIn = nullptr;
  }

  static std::vector<int>& pauses() {
    static std::vector<int> p;
    return p;
  }

  // Opens output device `device` and clears the log of it.
  void openOutput(int device = 0) {
    Midi_openout(device);
    ASSERT_NE(consoleState.hMidiOut, 0);
    outDriver->clear();
  }

  void drawRegister(int r, const std::string& label, int volume = 200, int pan = 0, int shift = 0, int multi = 0) {
    Reg_setname(r, label);
    consoleState.regOn[r] = 1;
    consoleState.regVolume[r] = volume;
    consoleState.regPan[r] = pan;
    consoleState.regShift[r] = shift;
    consoleState.regMulti[r] = multi;
  }

  std::vector<uint32_t> sent() { return outDriver->messages(); }

  static uint32_t msg(int status, int d1, int d2 = 0) { return status + 256 * d1 + 65536 * d2; }

  RecordingSink sink;
  std::shared_ptr<MemoryMidiOutDriver> outDriver;
  std::shared_ptr<MemoryMidiInDriver> inDriver;
  std::unique_ptr<MidiOut> midiOut;
  std::unique_ptr<MidiIn> midiIn;
};

}  // namespace zt::test
