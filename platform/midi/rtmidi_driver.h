#pragma once
// MIDI ports of the system through RtMidi: the ALSA sequencer, or JACK.
//
// Every open port is its own RtMidi client named "ZT". The console's own
// ports ("ZT input", "ZT output") never appear in the device lists, so the
// console cannot be pointed at itself.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midi/midi_in.h"
#include "platform/midi/midi_out.h"
#include "platform/midi/port_names.h"

namespace zt {

enum class MidiBackend { alsa, jack };

// The backend named by ZT_MIDI_API: "jack" chooses JACK, anything else ALSA.
MidiBackend Midi_backendfromenv();

enum class MidiDirection { input, output };

// The backend's ports of one direction as the device lists show them (the
// console's own ports left out), listed afresh by refresh(). Any thread.
class RtMidiPortList {
 public:
  RtMidiPortList(MidiBackend backend, MidiDirection direction);
  ~RtMidiPortList();

  // Lists the ports afresh; none while the backend cannot be reached.
  // Returns how many there are.
  int refresh();
  // The name of port `index` of the last list; false when it has no such port.
  bool name(int index, std::string& name);

 private:
  struct Lister;
  MidiBackend backend_;
  MidiDirection direction_;
  std::mutex mutex_;
  std::unique_ptr<Lister> lister_;
  std::vector<std::string> names_;
};

// Output devices: the backend's writable ports, named as the backend names them.
// On ALSA a port is RtMidi's; on JACK it is a JackOutPort, which keeps what
// does not fit into a period for the next ones.
class RtMidiOutDriver : public MidiOutDriver {
 public:
  explicit RtMidiOutDriver(MidiBackend backend);
  ~RtMidiOutDriver() override;

  // Lists the ports afresh; portName() and openPort() use that list.
  int portCount() override;
  std::string portName(int port) override;
  int openPort(int port, std::unique_ptr<MidiOutPort>& opened) override;

 private:
  class Port;
  MidiBackend backend_;
  RtMidiPortList ports_;
};

// Input devices: 0 is the console's own virtual input port "ZT input", which
// any keyboard or sequencer can be connected to; then the backend's readable
// ports. On ALSA a port is RtMidi's; on JACK it is a JackInPort. System exclusive is dropped; every
// other complete message reaches the listener as its MidiMessage word.
class RtMidiInDriver : public MidiInDriver {
 public:
  explicit RtMidiInDriver(MidiBackend backend);
  ~RtMidiInDriver() override;

  int portCount() override;
  std::string portName(int port) override;
  int openPort(int port, MidiInListener* listener, std::unique_ptr<MidiInPort>& opened) override;

 private:
  class Port;
  MidiBackend backend_;
  RtMidiPortList ports_;  // the backend's ports, numbered after the virtual one
};

}  // namespace zt
