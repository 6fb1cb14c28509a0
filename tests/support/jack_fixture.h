#pragma once
// Real MIDI ports for tests: a private JACK server on the dummy backend,
// started and stopped by the test, and plain JACK clients standing in for a
// keyboard (an output port) and for a sound module (a capture input port).
#include <jack/jack.h>
#include <jack/midiport.h>
#include <sys/types.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zt::test {

// jackd --no-realtime -n <unique name> -d dummy -r 48000 -p 256, with
// JACK_DEFAULT_SERVER pointing at it so every client of this process (RtMidi's
// included) finds it.
class JackServer {
 public:
  static constexpr int kRate = 48000;
  static constexpr int kPeriod = 256;

  JackServer() = default;
  ~JackServer();
  // Starts the server and waits until it accepts clients. On failure returns
  // false and leaves the reason in error().
  bool start();
  void stop();
  const std::string& name() const { return name_; }
  const std::string& error() const { return error_; }

 private:
  pid_t pid_ = -1;
  int slotLock_ = -1;  // lock on the server's name while it runs
  std::string name_;
  std::string log_;
  std::string error_;
};

// One captured or sent MIDI event.
struct JackEvent {
  uint32_t cycleFrame;  // frame time at the start of the cycle it travelled in
  uint32_t frame;       // the event's own frame time
  uint8_t size;
  std::array<uint8_t, 8> bytes;
};

// A JACK client of the test with an output port "out" (the keyboard) and/or
// an input port "in" (the capture). Sent events leave at the start of the
// next cycle; captured ones are kept with their frame times. The process
// callback neither blocks nor allocates.
class JackMidiClient {
 public:
  // `capacity` events are kept of each kind; later ones are not recorded.
  JackMidiClient(const std::string& name, bool withOut, bool withIn, size_t capacity = 1 << 16);
  ~JackMidiClient();
  bool ok() const { return client_ != nullptr; }
  jack_client_t* client() const { return client_; }
  std::string outName() const;
  std::string inName() const;

  // Queues one message (up to 8 bytes) for the keyboard port.
  void send(std::vector<uint8_t> bytes);
  // Events captured on "in", and events sent on "out" with the cycle they left in.
  size_t capturedCount() const { return captured_.load(std::memory_order_acquire); }
  const JackEvent& capturedAt(size_t i) const { return capture_[i]; }
  size_t sentCount() const { return sentCount_.load(std::memory_order_acquire); }
  const JackEvent& sentAt(size_t i) const { return sent_[i]; }
  // The captured messages as byte vectors, from index `from` on.
  std::vector<std::vector<uint8_t>> capturedBytes(size_t from = 0) const;
  // Waits up to `timeout` until at least n events are captured.
  bool waitCaptured(size_t n,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) const;
  bool waitSent(size_t n,
                std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) const;

 private:
  static int process(jack_nframes_t frames, void* arg);

  jack_client_t* client_ = nullptr;
  jack_port_t* out_ = nullptr;
  jack_port_t* in_ = nullptr;
  // Messages waiting for the keyboard port: the test thread writes, the
  // process callback reads.
  struct Pending {
    uint8_t size;
    std::array<uint8_t, 8> bytes;
  };
  static constexpr size_t kPending = 4096;
  std::vector<Pending> pending_;
  std::atomic<size_t> pendingHead_{0};  // next to read
  std::atomic<size_t> pendingTail_{0};  // next to write
  size_t capacity_;
  std::vector<JackEvent> capture_;
  std::atomic<size_t> captured_{0};
  std::vector<JackEvent> sent_;
  std::atomic<size_t> sentCount_{0};
};

// The full name of the one port whose name matches `pattern` (a regular
// expression, as jack_get_ports takes it) with the given flags and type
// (MIDI unless told); empty if none.
std::string Jack_findport(jack_client_t* client, const std::string& pattern, unsigned long flags,
                          const char* type = JACK_DEFAULT_MIDI_TYPE);
bool Jack_connect(jack_client_t* client, const std::string& from, const std::string& to);
// Whether the port named `port` has any connection.
bool Jack_isconnected(jack_client_t* client, const std::string& port);

// Polls `done` until it holds or the time is up.
bool Wait_until(const std::function<bool()>& done, std::chrono::milliseconds timeout);

}  // namespace zt::test
