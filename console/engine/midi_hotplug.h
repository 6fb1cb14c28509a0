#pragma once
// Following the MIDI system's ports while the console runs: the chosen
// devices that vanish and come back, and the keyboards that feed the
// console's own input.
//
// Who calls what: the port watch (MidiPortWatch) reports that something
// changed on a thread of its own; the window asks Midi_hotplug to look, on
// the window thread, a moment later (so that a burst of changes is one
// look). Nothing here runs on the MIDI input callback: a look talks to the
// MIDI server. Devices are closed and opened with the device layer's own
// operations, and sends made while the output is away or being reopened
// are skipped, not failures (Midi_changebegin), so the console never ends
// for want of its output.
//
// What a look does:
// - The chosen output (midiOutChoice) vanished: one log line "Midi out
//   assente: " + name, its handle is closed, the displays let go of every
//   key, and keys go nowhere until it returns (no other instrument starts
//   up in the middle of a piece). It, or a chosen output that was missing
//   at start-up, appears: "Midi out di nuovo presente: " + name, the chosen
//   one is opened (with its "Open Midi Device Out" line), the stand-in (if
//   any) gets all notes off and is closed, and the chosen one gets all
//   notes off. One that will not open leaves everything as it was.
// - The chosen input (midiInChoice, an outside port) vanished: "Midi in
//   assente: " + name, every held key is released (Keys_releaseall) and the
//   input closed; when it, or one missing at start-up, appears: "Midi in di
//   nuovo presente: " + name, the stand-in (if any) is closed and the chosen
//   one opened and started.
// - The console's own input (input device 0) is open: every port that feeds
//   it is followed. One that stops feeding it releases every held key, with
//   "Midi in assente: " + name when the port went away, "Midi in: " + name +
//   " scollegato" when someone disconnected it (the console then leaves it
//   alone while it exists). With automatic connection on, every source port
//   (MidiPortWatch::sources) not yet feeding it is connected: "Midi in: " +
//   name + " collegato a ZT input".
// - The device numbers of the chosen devices follow the lists as they are now.
namespace zt {

// Looks at the ports once. Returns false, having done nothing, while a
// device dialog is changing a device: the caller looks again later.
bool Midi_hotplug();

// Forgets the ports followed so far (start-up, tests).
void Midi_hotplugreset();

}  // namespace zt
