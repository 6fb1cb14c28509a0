#pragma once
// A console engine on the memory MIDI backend with a display sink that
// records every request, for the engine suites.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/engine_setup.h"
#include "tests/support/recording_sink.h"

namespace zt::test {

class EngineTest : public ::testing::Test, protected EngineDevices {
 protected:
  void SetUp() override {
    Engine_memorysetup(*this);
    pauses().clear();
    enginePlatform.pause = [](int ms) { pauses().push_back(ms); };
    Display_attach(&sink);
  }

  void TearDown() override { Engine_teardown(*this); }

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

  void drawRegister(int r, const std::string& label, int volume = 200, int pan = 0, int shift = 0,
                    int multi = 0) {
    Register_draw(r, label, volume, pan, shift, multi);
  }

  std::vector<uint32_t> sent() { return outDriver->messages(); }

  static uint32_t msg(int status, int d1, int d2 = 0) { return Midi_word(status, d1, d2); }
  static std::vector<uint32_t> allNotesOff() { return Midi_notesoffwords(); }

  RecordingSink sink;
};

}  // namespace zt::test
