#include "platform/midi/memory_midi.h"

#include <algorithm>

namespace zt {

// ---- output ----

class MemoryMidiOutDriver::Port : public MidiOutPort {
 public:
  Port(MemoryMidiOutDriver& driver, int port) : driver_(driver), port_(port) {}
  ~Port() override {
    std::lock_guard lock(driver_.mutex_);
    --driver_.open_;
  }
  int send(uint32_t message) override { return driver_.record(port_, message); }

 private:
  MemoryMidiOutDriver& driver_;
  int port_;
};

MemoryMidiOutDriver::MemoryMidiOutDriver(std::vector<std::string> names, size_t capacity)
    : names_(std::move(names)),
      openFailures_(names_.size(), MIDI_OK),
      slots_(std::make_unique<Slot[]>(capacity)),
      capacity_(capacity) {}

int MemoryMidiOutDriver::portCount() { return static_cast<int>(names_.size()); }

std::string MemoryMidiOutDriver::portName(int port) {
  return port >= 0 && port < portCount() ? names_[port] : std::string();
}

int MemoryMidiOutDriver::openPort(int port, std::unique_ptr<MidiOutPort>& opened) {
  if (port < 0 || port >= portCount()) return MIDIERR_BADDEVICEID;
  std::lock_guard lock(mutex_);
  if (openFailures_[port] != MIDI_OK) return openFailures_[port];
  ++open_;
  opened = std::make_unique<Port>(*this, port);
  return MIDI_OK;
}

int MemoryMidiOutDriver::record(int port, uint32_t message) {
  if (failCountdown_.load() > 0 && failCountdown_.fetch_sub(1) == 1) return failCode_.load();
  auto now = std::chrono::steady_clock::now();
  size_t index = next_.fetch_add(1);
  if (index < capacity_) {
    slots_[index].record = {now, port, message};
    slots_[index].ready.store(true, std::memory_order_release);
  }
  return MIDI_OK;
}

void MemoryMidiOutDriver::failSend(long n, int code) {
  failCode_.store(code);
  failCountdown_.store(n);
}

void MemoryMidiOutDriver::failOpen(int port, int code) {
  std::lock_guard lock(mutex_);
  if (port >= 0 && port < portCount()) openFailures_[port] = code;
}

std::vector<RecordedMessage> MemoryMidiOutDriver::records() {
  std::vector<RecordedMessage> out;
  size_t n = std::min(next_.load(), capacity_);
  out.reserve(n);
  for (size_t i = 0; i < n; ++i)
    if (slots_[i].ready.load(std::memory_order_acquire)) out.push_back(slots_[i].record);
  return out;
}

std::vector<uint32_t> MemoryMidiOutDriver::messages() {
  std::vector<uint32_t> words;
  for (auto& r : records()) words.push_back(r.message);
  return words;
}

void MemoryMidiOutDriver::clear() {
  size_t n = std::min(next_.load(), capacity_);
  for (size_t i = 0; i < n; ++i) slots_[i].ready.store(false, std::memory_order_relaxed);
  next_.store(0);
}

long MemoryMidiOutDriver::sendCount() { return static_cast<long>(next_.load()); }

int MemoryMidiOutDriver::openCount() {
  std::lock_guard lock(mutex_);
  return open_;
}

// ---- input ----

class MemoryMidiInDriver::Port : public MidiInPort {
 public:
  Port(MemoryMidiInDriver& driver, int port, MidiInListener* listener)
      : driver_(driver), port_(port), listener_(listener) {}
  ~Port() override {
    std::unique_lock lock(driver_.mutex_);
    // Wait out a delivery in progress, so the listener is never called after
    // the port is gone.
    driver_.idle_.wait(lock, [&] { return !driver_.busy_; });
    driver_.ports_[port_] = nullptr;
  }
  int start() override {
    std::unique_lock lock(driver_.mutex_);
    running_ = true;
    return MIDI_OK;
  }
  int stop() override {
    std::unique_lock lock(driver_.mutex_);
    driver_.idle_.wait(lock, [&] { return !driver_.busy_; });
    running_ = false;
    return MIDI_OK;
  }

 private:
  friend class MemoryMidiInDriver;
  MemoryMidiInDriver& driver_;
  int port_;
  MidiInListener* listener_;
  bool running_ = false;
};

MemoryMidiInDriver::MemoryMidiInDriver(std::vector<std::string> names)
    : names_(std::move(names)),
      openFailures_(names_.size(), MIDI_OK),
      ports_(names_.size(), nullptr) {
  thread_ = std::thread([this] { run(); });
}

MemoryMidiInDriver::~MemoryMidiInDriver() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

int MemoryMidiInDriver::portCount() { return static_cast<int>(names_.size()); }

std::string MemoryMidiInDriver::portName(int port) {
  return port >= 0 && port < portCount() ? names_[port] : std::string();
}

int MemoryMidiInDriver::openPort(int port, MidiInListener* listener,
                                 std::unique_ptr<MidiInPort>& opened) {
  if (port < 0 || port >= portCount()) return MIDIERR_BADDEVICEID;
  std::lock_guard lock(mutex_);
  if (openFailures_[port] != MIDI_OK) return openFailures_[port];
  if (ports_[port]) return MIDIERR_ALLOCATED;
  auto p = std::make_unique<Port>(*this, port, listener);
  ports_[port] = p.get();
  opened = std::move(p);
  return MIDI_OK;
}

void MemoryMidiInDriver::failOpen(int port, int code) {
  std::lock_guard lock(mutex_);
  if (port >= 0 && port < portCount()) openFailures_[port] = code;
}

void MemoryMidiInDriver::inject(int port, uint32_t message) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({port, message, false});
  }
  wake_.notify_one();
}

void MemoryMidiInDriver::injectError(int port, uint32_t message) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({port, message, true});
  }
  wake_.notify_one();
}

void MemoryMidiInDriver::drain() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [&] { return queue_.empty() && !busy_; });
}

void MemoryMidiInDriver::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || !queue_.empty(); });
    if (quit_) return;
    Item item = queue_.front();
    queue_.pop_front();
    Port* port = item.port >= 0 && item.port < portCount() ? ports_[item.port] : nullptr;
    if (port && port->running_) {
      // Deliver without the lock, as a driver calls back from its own thread;
      // stop() and the port's destructor wait for `busy_` to clear.
      busy_ = true;
      MidiInListener* listener = port->listener_;
      lock.unlock();
      if (item.error)
        listener->midiError(item.message);
      else
        listener->midiData(item.message);
      lock.lock();
      busy_ = false;
    }
    idle_.notify_all();
  }
}

}  // namespace zt
