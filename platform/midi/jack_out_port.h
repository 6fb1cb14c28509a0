#pragma once
// An output port on JACK: a client of its own with one MIDI output port
// connected to the chosen port.
//
// JACK carries MIDI in one buffer per port and period, and a period's buffer
// holds a few thousand short messages; one chord through 32 registers can
// send more in a single period. Sends therefore go into a queue, and the
// port's process callback writes as many as the period's buffer takes and
// keeps the rest, in the order sent, for the next periods: nothing sent is
// dropped for want of room in a period.
//
// Threads: send() may be called from any threads at once (the MIDI input
// callback's and the window's); it never blocks, waits or allocates. The
// process callback runs on JACK's thread. Opening and closing belong to the
// thread that opens and closes devices.
#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "common/bounded_queue.h"
#include "platform/midi/midi_out.h"

namespace zt {

class JackOutPort : public MidiOutPort {
 public:
  // Messages that may wait for the periods to come: every key of two
  // keyboards pressed and released at once through 32 registers with
  // multi-notes (2 x 128 x 194 = 49 664 messages) fits. JACK drains the
  // queue at a period's capacity each period; it only fills when JACK stops
  // running the port, and a send then fails with MIDIERR_NOTREADY.
  static constexpr size_t kQueueSize = 1 << 16;
  // How long closing waits for what was sent to go out.
  static constexpr int kCloseWaitMs = 1000;

  // Opens a client `client` (JACK numbers it when the name is taken) with an
  // output port `port` connected to `target`, a full port name. Returns
  // MIDI_OK, MIDIERR_NODRIVER when no JACK server answers, MIDIERR_BADDEVICEID
  // when `target` is not there, MIDIERR_ALLOCATED or MIDIERR_ERROR otherwise.
  static int open(const std::string& client, const std::string& port, const std::string& target,
                  std::unique_ptr<MidiOutPort>& opened);
  // Waits (up to kCloseWaitMs) until every message sent has been written to
  // a period, then leaves JACK.
  ~JackOutPort() override;

  // Queues one short message: MIDI_OK; MIDIERR_ERROR for a word that is not
  // a complete short message; MIDIERR_NODRIVER once JACK has shut the client
  // down; MIDIERR_NOTREADY when the queue is full.
  int send(uint32_t message) override;

 private:
  JackOutPort() = default;
  static int process(jack_nframes_t frames, void* self);
  static void shutdown(void* self);

  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
  bool active_ = false;
  BoundedQueue<uint32_t> queue_{kQueueSize};
  std::atomic<uint64_t> queued_{0};   // messages accepted by send()
  std::atomic<uint64_t> written_{0};  // messages written to a period
  std::atomic<bool> gone_{false};     // JACK shut the client down
  // The process thread's own: a message taken from the queue that did not
  // fit into its period, first in line for the next one.
  uint32_t held_ = 0;
  bool holding_ = false;
};

}  // namespace zt
