#include "tests/support/engine_setup.h"

#include <fstream>

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

int Engine_outputnamed(MidiOut& out, const std::string& name) {
  for (int i = 0; i < out.count(); ++i) {
    std::string found;
    if (out.name(i, found) == MIDI_OK && found == name) return i;
  }
  return -1;
}

void Console_writesettings(const std::string& folder, int output, int drawn) {
  std::ofstream(folder + "/consolle.cfg", std::ios::binary)
      << " " << output << " Midi Out\r\n 0 Midi In\r\n";
  std::ofstream preset(folder + "/consolle.ini", std::ios::binary);
  for (int r = 1; r <= 32; ++r)
    preset << (r <= drawn ? " 1 , 19 Church Organ, 200 , 0 , 0 , 0 \r\n"
                          : " 0 , 0 Acoustic Grand, 0 , 0 , 0 , 0 \r\n");
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
