#include "memory_midi.h"

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
    : names_(std::move(names)), openFailures_(names_.size(), MIDI_OK), capacity_(capacity) {
  records_.reserve(capacity_);
}

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
  auto now = std::chrono::steady_clock::now();
  std::lock_guard lock(mutex_);
  if (failCountdown_ > 0 && --failCountdown_ == 0) return failCode_;
  ++sends_;
  if (records_.size() < capacity_) records_.push_back({now, port, message});
  return MIDI_OK;
}

void MemoryMidiOutDriver::failSend(long n, int code) {
  std::lock_guard lock(mutex_);
  failCountdown_ = n;
  failCode_ = code;
}

void MemoryMidiOutDriver::failOpen(int port, int code) {
  std::lock_guard lock(mutex_);
  if (port >= 0 && port < portCount()) openFailures_[port] = code;
}

std::vector<RecordedMessage> MemoryMidiOutDriver::records() {
  std::lock_guard lock(mutex_);
  return records_;
}

std::vector<uint32_t> MemoryMidiOutDriver::messages() {
  std::lock_guard lock(mutex_);
  std::vector<uint32_t> words;
  words.reserve(records_.size());
  for (auto& r : records_) words.push_back(r.message);
  return words;
}

void MemoryMidiOutDriver::clear() {
  std::lock_guard lock(mutex_);
  records_.clear();
  sends_ = 0;
}

long MemoryMidiOutDriver::sendCount() {
  std::lock_guard lock(mutex_);
  return sends_;
}

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
    : names_(std::move(names)), openFailures_(names_.size(), MIDI_OK), ports_(names_.size(), nullptr) {
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

int MemoryMidiInDriver::openPort(int port, MidiInListener* listener, std::unique_ptr<MidiInPort>& opened) {
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
