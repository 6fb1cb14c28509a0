#pragma once
// Watching the MIDI system's ports while the console runs, and connecting
// keyboards to the console's own input.
//
// JACK tells its clients when a port registers, unregisters, connects or
// disconnects; the ALSA sequencer announces the same on its "System
// Announce" port. A watch turns either into calls of `changed`, made on the
// watch's own thread (JACK's notification thread, or a reader thread of its
// own on ALSA): `changed` must be quick and must not call the watch. The
// listing and connecting operations belong to one thread (the console's
// window thread) and are never for the MIDI input callback: they talk to the
// server.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/rtmidi_driver.h"

namespace zt {

// A port that can feed the console's input.
struct MidiSourcePort {
  std::string address;  // what connecting takes: JACK's full name, ALSA's "client:port"
  std::string name;     // its stable name, for people and for remembering
};

class MidiPortWatch {
 public:
  // Once the destructor has returned, `changed` is not called again.
  virtual ~MidiPortWatch() = default;
  // False once the server has gone away (the watch then says nothing more).
  virtual bool alive() = 0;
  // The ports a keyboard or another program plays on: every readable MIDI
  // port but the console's own, the sequencer's system ports and "Midi
  // Through".
  virtual std::vector<MidiSourcePort> sources() = 0;
  // The addresses of the ports connected to the port at `input` now.
  virtual std::vector<std::string> feeding(const std::string& input) = 0;
  // Connects `source` to `input`; true when they are connected (also when
  // they were already).
  virtual bool connect(const std::string& source, const std::string& input) = 0;
};

// A watch of the backend's server, or null when the server cannot be
// reached (then nothing is started and nothing printed).
std::unique_ptr<MidiPortWatch> Midi_portwatch(MidiBackend backend, std::function<void()> changed);

// Whether the console connects keyboards to its input by itself:
// ZT_AUTOCONNECT=0 turns it off, for those who patch by hand.
bool Midi_autoconnectfromenv();

// The ALSA address ("client:port") of the port called `port` on a
// sequencer client of this process; empty when there is none.
std::string Midi_alsaownport(const std::string& port);

}  // namespace zt
