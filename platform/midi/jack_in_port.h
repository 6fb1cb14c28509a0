#pragma once
// An input port on JACK: a client of its own with one MIDI input port, the
// console's "ZT input", either left for anyone to connect to (the console's
// virtual input) or connected from one chosen port.
//
// The system's full name of the port (address()) is what the console's
// automatic connections and the port watch need to find it; RtMidi keeps its
// JACK client to itself, so the console opens this port itself.
//
// Threads: the listener is called on JACK's process thread, between start()
// and stop(), once per complete short message, without locks or
// allocations. Opening, starting, stopping and closing belong to the thread
// that opens and closes devices.
#include <jack/jack.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/midi/midi_in.h"

namespace zt {

class JackInPort : public MidiInPort {
 public:
  // Opens a client `client` (JACK numbers it when the name is taken) with an
  // input port `port`, connected from `source` (a full port name) unless
  // that is empty. Returns MIDI_OK, MIDIERR_NODRIVER when no JACK server
  // answers, MIDIERR_BADDEVICEID when `source` is not there, MIDIERR_ALLOCATED
  // or MIDIERR_ERROR otherwise.
  static int open(const std::string& client, const std::string& port, const std::string& source,
                  MidiInListener* listener, std::unique_ptr<MidiInPort>& opened);
  // Stops delivery and leaves JACK.
  ~JackInPort() override;

  int start() override;
  // Once this returns the listener is not called again.
  int stop() override;
  // "client:port", as JACK names the port now.
  std::string address() override;

 private:
  explicit JackInPort(MidiInListener* listener) : listener_(listener) {}
  static int process(jack_nframes_t frames, void* self);

  MidiInListener* listener_;
  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
  bool active_ = false;
  std::atomic<bool> running_{false};
  std::atomic<int> inflight_{0};  // deliveries under way on the process thread
};

}  // namespace zt
