#include "console/engine/device_dialog.h"

#include "common/number_text.h"
#include "console/engine/console_state.h"
#include "console/engine/device_memory.h"
#include "console/engine/display_seam.h"
#include "console/engine/engine_platform.h"
#include "console/engine/midi_devices.h"
#include "console/engine/midi_send.h"
#include "platform/midi/port_names.h"

namespace zt {

namespace {

// Lists every device, however many the system has, writing the count and
// each entry to the log.
template <typename Devices>
DeviceDialog listDevices(const char* title, const char* countLine, Devices* devices,
                         const DeviceChoice& choice) {
  DeviceDialog dialog;
  dialog.title = title;
  const std::vector<std::string> names = devices ? devices->list() : std::vector<std::string>();
  const int n = static_cast<int>(names.size());
  Log_line(countLine + Text_str(n));
  for (int i = 0; i < n; ++i) {
    std::string entry = Text_str(i) + " " + names[i];
    Log_line(entry);
    dialog.entries.push_back(entry);
  }
  dialog.selected = dialog.entries.empty() ? -1 : 0;
  if (choice.absent && !choice.name.empty() && Midi_findstable(names, choice.name) < 0)
    dialog.absentEntry = Device_absententry(choice.name);
  return dialog;
}

bool changing = false;

// Marks a device change made from a dialog for as long as it lasts.
struct Changing {
  Changing() { changing = true; }
  ~Changing() { changing = false; }
};

}  // namespace

bool Dialog_changing() { return changing; }

DeviceDialog Dialog_midiout() {
  DeviceDialog dialog = listDevices(
      "Midi out device", "Midi device out trovati :", enginePlatform.midiOut, midiOutChoice);
  // The second entry when a Live/AWE synthesiser was found at start-up.
  if (consoleState.synthFound == 1 && dialog.entries.size() > 1) dialog.selected = 1;
  return dialog;
}

DeviceDialog Dialog_midiin() {
  return listDevices("Midi in device", "Midi device trovati :", enginePlatform.midiIn,
                     midiInChoice);
}

void Dialog_midioutchoose(const std::string& entry,
                          const std::function<void(const std::string&)>& show) {
  const Changing busy;
  // Keys played from here until the new output is open are skipped, not
  // failures: the console goes on.
  Midi_changebegin();
  Midi_closeout();
  if (show) show("Midi out ora \xE8 : " + entry);
  consoleState.midiOutDevice = Text_number(entry);
  Midi_openout(consoleState.midiOutDevice);
  int id = 0;
  if (enginePlatform.midiOut &&
      enginePlatform.midiOut->deviceId(consoleState.hMidiOut, id) == MIDI_OK)
    consoleState.midiOutDevice = id;
  Device_choose(midiOutChoice, entry);
  midiOutChoice.number = consoleState.midiOutDevice;
  Midi_changeend();
}

void Dialog_midiinchoose(const std::string& entry,
                         const std::function<void(const std::string&)>& show) {
  const Changing busy;
  Midi_closein();
  if (show) show("Midi in ora \xE8 : " + entry);
  consoleState.midiInDevice = Text_number(entry);
  Midi_openin(consoleState.midiInDevice);
  Midi_startin();
  Device_choose(midiInChoice, entry);
}

}  // namespace zt
