#pragma once
// The console engine on MIDI devices of a test's choosing, set up and let go
// in one place for the suites, the benchmarks and the helper programs.
// Qt-free and free of GoogleTest, so the benchmarks link it too.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/midi_message.h"
#include "console/engine/engine.h"
#include "platform/midi/memory_midi.h"

namespace zt::test {

// The device lists the engine is attached to. The memory drivers are set
// only on the memory backend.
struct EngineDevices {
  std::shared_ptr<MemoryMidiOutDriver> outDriver;
  std::shared_ptr<MemoryMidiInDriver> inDriver;
  std::unique_ptr<MidiOut> midiOut;
  std::unique_ptr<MidiIn> midiIn;
};

// Fresh program state and an empty display queue, then the memory backend
// with one port per name (each output keeping `capacity` messages) attached
// to the engine. Closing the output waits 3000 ms, as the console's does.
void Engine_memorysetup(EngineDevices& devices,
                        std::vector<std::string> outputs = {"FluidSynth", "Port A", "Port B"},
                        std::vector<std::string> inputs = {"ZT input", "Keyboard"},
                        size_t capacity = 1 << 16);
// The same on the devices the console starts with (the embedded
// synthesiser, the virtual input and the ports of ZT_MIDI_API's server).
// Closing the output does not wait.
void Engine_platformsetup(EngineDevices& devices);
// Closes the input if open and, with `closeOutput`, the output; lets the
// device lists go (their clients leave before any test server stops),
// detaches the display sink and the devices from the engine and empties the
// display queue.
void Engine_teardown(EngineDevices& devices, bool closeOutput = false);

// The output device whose name is `name`; -1 when there is none.
int Engine_outputnamed(MidiOut& out, const std::string& name);
inline int Engine_outputnamed(EngineDevices& devices, const std::string& name) {
  return Engine_outputnamed(*devices.midiOut, name);
}

// A whole console's settings in `folder`: "consolle.cfg" choosing output
// device `output` and input 0, and "consolle.ini" with registers 1 to
// `drawn` drawn as a church organ (program 19, volume 200, centred, no
// shift) and the others off.
void Console_writesettings(const std::string& folder, int output, int drawn);

// Register r drawn by the organist with the label and values given.
void Register_draw(int r, const std::string& label, int volume = 200, int pan = 0, int shift = 0,
                   int multi = 0);

// A message word as the engine sends it: status, data 1, data 2.
constexpr uint32_t Midi_word(int status, int d1, int d2 = 0) {
  return MidiMessage(status, d1, d2).word;
}
// What all notes off sends: controller 123 on channels 0 to 15.
std::vector<uint32_t> Midi_notesoffwords();

}  // namespace zt::test
