#pragma once
// The console's engine playing on the ports of a private JACK server, set up
// as the console starts: its own virtual input, played by a test keyboard,
// and an output device of the test's choosing.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console/engine/display_seam.h"
#include "tests/support/engine_setup.h"
#include "tests/support/jack_fixture.h"

namespace zt::test {

// Opens and starts input device 0 (the console's virtual input), opens
// output device `outputDevice` on channel 0, connects the keyboard's "out"
// to the virtual input and waits until the connection is listed (and, with
// `capture`, until the capture's "in" is connected too). Then, with
// `capture`, sends a controller on the keyboard until one reaches the
// capture: a connection is listed before the server's graph carries it.
// Returns what failed, or an empty text.
std::string Console_jackstart(JackMidiClient& keyboard, int outputDevice,
                              JackMidiClient* capture = nullptr);

// Output device "capture:in" (a JackMidiClient named "capture"); -1 when
// there is none.
inline int Console_capturedevice(EngineDevices& devices) {
  return Engine_outputnamed(devices, "capture:in");
}

// The biggest chord an organist plays: every register drawn (program 15 + r,
// pans left, centre, right in turn, an added note an octave up) and thirty
// keys, 36 to 65, pressed and then released. `Chord_draw` draws the
// registers; `Chord_expected` is every message the output must carry, in
// order: 5820 of them.
void Chord_draw();
std::vector<std::vector<uint8_t>> Chord_expected();

// A display sink that shows nothing and prints send failures on stderr,
// for the benchmarks.
struct DiscardingSink : DisplaySink {
  void display(const DisplayRequest&) override {}
  void sendFailure(std::string_view message) override {
    std::fprintf(stderr, "send failure: %.*s\n", int(message.size()), message.data());
  }
};

// A private JACK server with the console's engine on its ports, for the
// benchmarks: ZT_MIDI_API=jack, the synthesiser's audio on `audioDriver`,
// a keyboard client "kbd", the engine on the platform's devices showing
// into a DiscardingSink. Clients a benchmark makes after the rig leave
// before it stops the server.
class JackConsoleRig {
 public:
  JackConsoleRig() = default;
  JackConsoleRig(const JackConsoleRig&) = delete;
  JackConsoleRig& operator=(const JackConsoleRig&) = delete;
  // Closes the devices, then the keyboard leaves and the server stops.
  ~JackConsoleRig();

  // False, with the reason on stderr, when the server does not start.
  bool start(const char* audioDriver);

  JackServer server;
  std::unique_ptr<JackMidiClient> keyboard;
  EngineDevices devices;
  DiscardingSink sink;
};

}  // namespace zt::test
