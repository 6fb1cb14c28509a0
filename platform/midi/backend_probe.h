#pragma once
// Whether the MIDI server behind the RtMidi ports (the ALSA sequencer, or a
// running JACK server) can be reached, asked without a word on the terminal.
//
// RtMidi reports a server it cannot reach on standard error from inside its
// constructors, before an error callback can be installed, and ALSA lib and
// JACK add lines of their own. The drivers below ask first, quietly, and
// only make RtMidi clients when the server is there; the reason it is not is
// kept for the program's one log line about it.
#include <atomic>
#include <memory>
#include <string>

#include "platform/midi/midi_in.h"
#include "platform/midi/midi_out.h"
#include "platform/midi/rtmidi_driver.h"

namespace zt {

// Empty when the backend's server answers; else why not, in a few words
// ("sequencer ALSA assente (No such file or directory)"). Never starts a
// JACK server. Any thread; not on a real-time path (it opens a client).
std::string Midi_backendprobe(MidiBackend backend);
// What the last probe found, empty when none failed yet or the last one
// succeeded.
std::string Midi_backendproblem();
// Keeps ALSA lib's and JACK's own complaints off standard error for the
// rest of the process (their handlers are process-wide). Idempotent.
void Midi_quietlibraries();

// Lists and opens the inner driver's ports only while its server answers;
// otherwise it has no ports and opening fails with MIDIERR_NODRIVER. The
// server is asked once per count of the ports (one listing of a device
// list); names and opens go by that answer.
class ReachableOutDriver : public MidiOutDriver {
 public:
  ReachableOutDriver(MidiBackend backend, std::shared_ptr<MidiOutDriver> inner);
  int portCount() override;
  std::string portName(int port) override;
  int openPort(int port, std::unique_ptr<MidiOutPort>& opened) override;

 private:
  MidiBackend backend_;
  std::shared_ptr<MidiOutDriver> inner_;
  std::atomic<bool> reachable_{false};  // as of the last count
};

// The same for input. The console's own virtual input stays device 0 either
// way, so the input numbering does not depend on the server; it cannot be
// opened without one.
class ReachableInDriver : public MidiInDriver {
 public:
  ReachableInDriver(MidiBackend backend, std::shared_ptr<MidiInDriver> inner);
  int portCount() override;
  std::string portName(int port) override;
  int openPort(int port, MidiInListener* listener, std::unique_ptr<MidiInPort>& opened) override;

 private:
  MidiBackend backend_;
  std::shared_ptr<MidiInDriver> inner_;
  std::atomic<bool> reachable_{false};
};

}  // namespace zt
