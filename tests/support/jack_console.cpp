#include "tests/support/jack_console.h"

#include <chrono>
#include <cstdlib>

namespace zt::test {

void Chord_draw() {
  for (int r = 1; r <= kRegisters; ++r)
    Register_draw(r, std::to_string(r + 15) + " Organ", 200, r % 3 - 1, 0, 12);
}

std::vector<std::vector<uint8_t>> Chord_expected() {
  const uint8_t pans[3] = {0, 64, 127};
  std::vector<std::vector<uint8_t>> expected;
  for (uint8_t note = 36; note < 66; ++note) {
    for (int r = 1; r <= kRegisters; ++r) {
      expected.push_back({0xC0, uint8_t(r + 15)});
      expected.push_back({0xB0, 10, pans[r % 3]});
      expected.push_back({0x90, note, 100});
      expected.push_back({0x90, uint8_t(note + 12), 100});
    }
    expected.push_back({0x90, note, 100});
  }
  for (uint8_t note = 36; note < 66; ++note) {
    for (int r = 1; r <= kRegisters; ++r) {
      expected.push_back({0x80, note, 0});
      expected.push_back({0x80, uint8_t(note + 12), 0});
    }
    expected.push_back({0x80, note, 0});
  }
  return expected;
}

std::string Console_jackstart(JackMidiClient& keyboard, int outputDevice, JackMidiClient* capture) {
  using std::chrono::milliseconds;
  if (!keyboard.ok() || (capture && !capture->ok())) return "a test client did not open";
  if (Midi_openin(0) != 1) return "the virtual input did not open";
  if (Midi_startin() != 1) return "the virtual input did not start";
  consoleState.outChannel = 0;
  Midi_openout(outputDevice);
  if (consoleState.hMidiOut == 0)
    return "output device " + std::to_string(outputDevice) + " did not open";
  const std::string input = Jack_findport(keyboard.client(), ":ZT input$", JackPortIsInput);
  if (input.empty()) return "no port \"ZT input\"";
  if (!Jack_connect(keyboard.client(), keyboard.outName(), input))
    return "the keyboard did not connect";
  if (!Wait_until([&] { return Jack_isconnected(keyboard.client(), keyboard.outName()); },
                  milliseconds(3000)))
    return "the keyboard's connection is not listed";
  if (!capture) return "";
  if (!Wait_until([&] { return Jack_isconnected(capture->client(), capture->inName()); },
                  milliseconds(3000)))
    return "the capture's connection is not listed";
  for (int attempt = 0; attempt < 50; ++attempt) {
    keyboard.send({0xBF, 7, 100});
    if (capture->waitCaptured(1, milliseconds(200))) return "";
  }
  return "nothing comes through the console";
}

bool JackConsoleRig::start(const char* audioDriver) {
  if (!server.start()) {
    std::fprintf(stderr, "%s\n", server.error().c_str());
    return false;
  }
  setenv("ZT_MIDI_API", "jack", 1);
  setenv("ZT_AUDIO_DRIVER", audioDriver, 1);
  keyboard = std::make_unique<JackMidiClient>("kbd", true, false);
  Engine_platformsetup(devices);
  Display_attach(&sink);
  return true;
}

JackConsoleRig::~JackConsoleRig() {
  if (devices.midiOut) Engine_teardown(devices, true);
  keyboard.reset();
  server.stop();
}

}  // namespace zt::test
