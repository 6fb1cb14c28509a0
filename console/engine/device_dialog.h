#pragma once
// The logic of the two device dialogs ("Midi out device", "Midi in device"):
// the entries they list, which entry is preselected, and what confirming a
// choice does. The window shows the dialog and the message box.
#include <functional>
#include <string>
#include <vector>

namespace zt {

struct DeviceDialog {
  std::string title;
  std::vector<std::string> entries;  // " 0 FluidSynth", " 1 ...": STR(i) + " " + name
  int selected = 0;                  // index of the preselected entry
  // The chosen device when it is not there now (Device_absententry), shown
  // after the entries and never to be chosen; empty otherwise.
  std::string absentEntry;
};

// Each lists the devices once (one question to the MIDI system per list).
// Builds the output dialog's contents and writes the device list to the log.
DeviceDialog Dialog_midiout();
// Builds the input dialog's contents and writes the device count to the log.
DeviceDialog Dialog_midiin();

// Confirms `entry` in the output dialog: closes the output (with its wait),
// lets the window close the dialog and show `message` ("Midi out ora è : "
// + entry), then opens the chosen device. Sends made meanwhile (keys from
// the input thread) are skipped, not failures.
void Dialog_midioutchoose(const std::string& entry,
                          const std::function<void(const std::string& message)>& show);
// The same for the input dialog; input is started again at once.
void Dialog_midiinchoose(const std::string& entry,
                         const std::function<void(const std::string& message)>& show);
// Both remember the choice by name and number (midiOutChoice, midiInChoice).

// Whether one of the two is changing a device now (its message box may run
// the window's events meanwhile): the devices are not to be touched.
bool Dialog_changing();

}  // namespace zt
