#include "device_dialog.h"

#include "console_state.h"
#include "display_seam.h"
#include "engine_platform.h"
#include "midi_devices.h"
#include "number_text.h"

namespace zt {

DeviceDialog Dialog_midiout() {
  DeviceDialog dialog;
  dialog.title = "Midi out device";
  MidiOut* out = enginePlatform.midiOut;
  int n = out ? out->count() : 0;
  Log_line("Midi device out trovati :" + Text_str(n));
  // Every device is listed, however many the system has.
  for (int i = 0; i < n; ++i) {
    std::string name;
    out->name(i, name);
    std::string entry = Text_str(i) + " " + name;
    Log_line(entry);
    dialog.entries.push_back(entry);
  }
  dialog.selected = consoleState.synthFound == 1 ? 1 : 0;
  if (dialog.selected >= static_cast<int>(dialog.entries.size())) dialog.selected = dialog.entries.empty() ? -1 : 0;
  return dialog;
}

DeviceDialog Dialog_midiin() {
  DeviceDialog dialog;
  dialog.title = "Midi in device";
  MidiIn* in = enginePlatform.midiIn;
  int n = in ? in->count() : 0;
  Log_line("Midi device trovati :" + Text_str(n));
  for (int i = 0; i < n; ++i) {
    std::string name;
    in->name(i, name);
    std::string entry = Text_str(i) + " " + name;
    Log_line(entry);
    dialog.entries.push_back(entry);
  }
  dialog.selected = dialog.entries.empty() ? -1 : 0;
  return dialog;
}

void Dialog_midioutchoose(const std::string& entry, const std::function<void(const std::string&)>& show) {
  Midi_closeout();
  if (show) show("Midi out ora \xE8 : " + entry);
  consoleState.midiOutDevice = Text_number(entry);
  Midi_openout(consoleState.midiOutDevice);
  int id = 0;
  if (enginePlatform.midiOut && enginePlatform.midiOut->deviceId(consoleState.hMidiOut, id) == MIDI_OK)
    consoleState.midiOutDevice = id;
}

void Dialog_midiinchoose(const std::string& entry, const std::function<void(const std::string&)>& show) {
  Midi_closein();
  if (show) show("Midi in ora \xE8 : " + entry);
  consoleState.midiInDevice = Text_number(entry);
  Midi_openin(consoleState.midiInDevice);
  Midi_startin();
}

}  // namespace zt
