#pragma once
// The memory backend, for tests: output ports that record every message
// sent with a time stamp and can be told to fail a given send, and input
// ports into which a test injects messages that a thread of the port's own
// delivers, as a driver would.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/midi/midi_in.h"
#include "platform/midi/midi_out.h"

namespace zt {

struct RecordedMessage {
  std::chrono::steady_clock::time_point time;
  int port;
  uint32_t message;
};

class MemoryMidiOutDriver : public MidiOutDriver {
 public:
  // One port per name. Room for `capacity` records is taken up front and
  // recording takes no lock, so a send costs about what a real port's
  // does; sends beyond the capacity are counted, not kept.
  explicit MemoryMidiOutDriver(std::vector<std::string> names, size_t capacity = 1 << 16);

  int portCount() override;
  std::string portName(int port) override;
  int openPort(int port, std::unique_ptr<MidiOutPort>& opened) override;

  // The n-th send from now on (1 = the next one), on any port, fails with
  // `code` and is not recorded. 0 cancels.
  void failSend(long n, int code = MIDIERR_NOTREADY);
  // Every open of this port fails with `code` (MIDI_OK to allow again).
  void failOpen(int port, int code);

  // What was recorded, in the order of the sends. Call these and clear()
  // while no send is under way.
  std::vector<RecordedMessage> records();
  std::vector<uint32_t> messages();  // just the message words, in order
  void clear();
  long sendCount();  // successful sends since the last clear()
  int openCount();   // ports open now

 private:
  class Port;
  struct Slot {
    RecordedMessage record;
    std::atomic<bool> ready{false};
  };
  int record(int port, uint32_t message);

  std::vector<std::string> names_;
  std::vector<int> openFailures_;
  std::mutex mutex_;  // opens and open failures
  std::unique_ptr<Slot[]> slots_;
  size_t capacity_;
  std::atomic<size_t> next_{0};  // successful sends, recorded or not
  std::atomic<long> failCountdown_{0};
  std::atomic<int> failCode_{MIDI_OK};
  int open_ = 0;
};

class MemoryMidiInDriver : public MidiInDriver {
 public:
  explicit MemoryMidiInDriver(std::vector<std::string> names);
  ~MemoryMidiInDriver() override;

  int portCount() override;
  std::string portName(int port) override;
  int openPort(int port, MidiInListener* listener, std::unique_ptr<MidiInPort>& opened) override;

  // Queues a message on a port; the port's thread delivers it once the port
  // is open and started. Messages for a port that is not running are lost,
  // as with a keyboard played into an unopened device.
  void inject(int port, uint32_t message);
  void injectError(int port, uint32_t message);
  // Waits until every message injected so far has been delivered or lost.
  void drain();
  void failOpen(int port, int code);

 private:
  class Port;
  struct Item {
    int port;
    uint32_t message;
    bool error;
  };
  void run();

  std::vector<std::string> names_;
  std::vector<int> openFailures_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Item> queue_;
  std::vector<Port*> ports_;  // open ports by port number
  bool busy_ = false;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace zt
