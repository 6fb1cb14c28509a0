#include "default_devices.h"

#include "rtmidi_driver.h"
#include "synth_driver.h"

namespace zt {

void Platform_mididevices(MidiOut& out, MidiIn& in) {
  MidiBackend backend = Midi_backendfromenv();
  out.addDriver(std::make_shared<SynthOutDriver>());
  out.addDriver(std::make_shared<RtMidiOutDriver>(backend));
  in.addDriver(std::make_shared<RtMidiInDriver>(backend));
}

}  // namespace zt
