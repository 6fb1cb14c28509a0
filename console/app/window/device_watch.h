#pragma once
// The MIDI ports watched while the console's window runs.
//
// The port watch reports a change on a thread of its own (JACK's
// notification thread, the ALSA announcement reader); that report only
// posts to the window thread, which looks at the ports (Midi_hotplug) once
// the burst has settled, kSettleMs after its last report, and again a
// little later while a device dialog is changing a device. Without a MIDI
// server at start, or once it has gone, the watch is tried again every
// kRetryMs, so a server that starts later is found. Nothing of this runs on
// the MIDI input callback or in a paint.
//
// Window thread; a QApplication must exist.
#include <functional>
#include <memory>

#include "platform/midi/port_watch.h"

namespace zt {

using PortWatchOpener =
    std::function<std::unique_ptr<MidiPortWatch>(std::function<void()> changed)>;

constexpr int kSettleMs = 100;
constexpr int kRetryMs = 2000;

// Opens the watch with `open` (which may give null: no server yet), attaches
// it to the engine, and looks at the ports once at the next turn of the
// event loop. `autoconnect`: keyboards are connected to the console's own
// input by themselves.
void DeviceWatch_start(const PortWatchOpener& open, bool autoconnect);
// Stops watching: no look is made after this returns, and the watch is
// closed (before the devices are closed at the end).
void DeviceWatch_stop();

}  // namespace zt
