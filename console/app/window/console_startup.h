#pragma once
// The console program from start to end: state, synthesiser check,
// "consolle.cfg", menus, window and controls with the logo, the soundfont
// batch "sl.bat", the MIDI devices, the program names and preset 0; then the
// window runs until it is ended, and last the devices are closed and the
// preset and "consolle.cfg" saved. The window is not shown before the batch
// has ended and the devices are open.
#include <functional>

#include "console/app/window/device_watch.h"
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
// the program's exit code (0). A QApplication must exist. `watchPorts`
// opens the watch of the MIDI system's ports that the console follows while
// its window runs (DeviceWatch_start); without it nothing is watched.
int Console_run(MidiOut& out, MidiIn& in, const ConsoleHooks& hooks = {},
                const PortWatchOpener& watchPorts = {});

// Checks the devices read from "consolle.cfg" and "consolle-midi.cfg"
// against one listing of the devices there are. A remembered name whose
// port is there gives its device, whatever the number; one whose port is
// missing leaves one log line, and the number's device (or device 0 when the
// number is none) stands in until it appears. Without a name, a number that
// is not a device (letters, negative, too large, a device that has gone)
// leaves one log line and falls back to device 0, and a device found by its
// number is remembered by its name. A stand-in never becomes the choice:
// "consolle.cfg" keeps the chosen number.
void Config_check();

}  // namespace zt
