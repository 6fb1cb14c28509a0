#include "platform/midi/default_devices.h"

#include "platform/midi/backend_probe.h"
#include "platform/midi/rtmidi_driver.h"
#include "platform/midi/synth_driver.h"

namespace zt {

void Platform_mididevices(MidiOut& out, MidiIn& in) {
  MidiBackend backend = Midi_backendfromenv();
  out.addDriver(std::make_shared<SynthOutDriver>());
  // RtMidi is only asked about ports while its server answers.
  out.addDriver(
      std::make_shared<ReachableOutDriver>(backend, std::make_shared<RtMidiOutDriver>(backend)));
  in.addDriver(
      std::make_shared<ReachableInDriver>(backend, std::make_shared<RtMidiInDriver>(backend)));
}

}  // namespace zt
