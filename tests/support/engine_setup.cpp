#include "tests/support/engine_setup.h"

#include "platform/midi/default_devices.h"

namespace zt::test {

static void Attach(EngineDevices& devices, int closeWaitMs) {
  Engine_attach(*devices.midiOut, *devices.midiIn);
  enginePlatform.closeWaitMs = closeWaitMs;
}

void Engine_memorysetup(EngineDevices& devices, std::vector<std::string> outputs,
                        std::vector<std::string> inputs, size_t capacity) {
  State_reset();
  Display_reset();
  devices.outDriver = std::make_shared<MemoryMidiOutDriver>(std::move(outputs), capacity);
  devices.inDriver = std::make_shared<MemoryMidiInDriver>(std::move(inputs));
  devices.midiOut = std::make_unique<MidiOut>();
  devices.midiIn = std::make_unique<MidiIn>();
  devices.midiOut->addDriver(devices.outDriver);
  devices.midiIn->addDriver(devices.inDriver);
  Attach(devices, 3000);
}

void Engine_platformsetup(EngineDevices& devices) {
  State_reset();
  Display_reset();
  devices.midiOut = std::make_unique<MidiOut>();
  devices.midiIn = std::make_unique<MidiIn>();
  Platform_mididevices(*devices.midiOut, *devices.midiIn);
  Attach(devices, 0);
}

void Engine_teardown(EngineDevices& devices, bool closeOutput) {
  if (consoleState.hMidiIn != 0) Midi_closein();
  if (closeOutput && consoleState.hMidiOut != 0) Midi_closeout();
  devices.midiIn.reset();
  devices.midiOut.reset();
  devices.inDriver.reset();
  devices.outDriver.reset();
  Display_attach(nullptr);
  Display_reset();
  enginePlatform.midiOut = nullptr;
  enginePlatform.midiIn = nullptr;
}

int Engine_outputnamed(EngineDevices& devices, const std::string& name) {
  for (int i = 0; i < devices.midiOut->count(); ++i) {
    std::string found;
    if (devices.midiOut->name(i, found) == MIDI_OK && found == name) return i;
  }
  return -1;
}

void Register_draw(int r, const std::string& label, int volume, int pan, int shift, int multi) {
  Reg_setname(r, label);
  consoleState.regOn[r] = 1;
  consoleState.regVolume[r] = volume;
  consoleState.regPan[r] = pan;
  consoleState.regShift[r] = shift;
  consoleState.regMulti[r] = multi;
}

std::vector<uint32_t> Midi_notesoffwords() {
  std::vector<uint32_t> out;
  for (int c = 0; c < 16; ++c) out.push_back(Midi_word(kControlChange + c, kAllNotesOff));
  return out;
}

}  // namespace zt::test
