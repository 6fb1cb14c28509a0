#pragma once
// The console program from start to end: state, synthesiser check,
// "consolle.cfg", menus, window and controls with the logo, the soundfont
// batch "sl.bat", the MIDI devices, the program names and preset 0; then the
// window runs until it is ended, and last the devices are closed and the
// preset and "consolle.cfg" saved. The window is not shown before the batch
// has ended and the devices are open.
#include <functional>

#include "platform/midi/midi_in.h"
#include "platform/midi/midi_out.h"

namespace zt {

struct ConsoleHooks {
  // Called after each start-up step with its name ("state", "synth",
  // "config", "menus", "window", "controls", "batch", "input", "channel",
  // "output", "programs", "preset", "shown") and after the end ("closed",
  // "saved").
  std::function<void(const char* step)> onStep;
};

// Runs the console on the given devices in the current directory; returns
// the program's exit code (0). A QApplication must exist.
int Console_run(MidiOut& out, MidiIn& in, const ConsoleHooks& hooks = {});

// Checks the device numbers read from "consolle.cfg" against the devices
// there are: a number that is not a device (letters, negative, too large, a
// device that has gone) leaves one log line and falls back to device 0.
void Config_check();

}  // namespace zt
