#include "platform/midi/rtmidi_driver.h"

#include <rtmidi/RtMidi.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "common/midi_message.h"
#include "platform/midi/jack_in_port.h"
#include "platform/midi/jack_out_port.h"
#include "platform/midi/port_names.h"
#include "platform/midi/port_watch.h"
#include "platform/midi/wire_bytes.h"

namespace zt {

namespace {

RtMidi::Api apiOf(MidiBackend backend) {
  return backend == MidiBackend::jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}

// Catches RtMidi's error reports. With a callback installed RtMidi reports
// instead of printing or throwing, so each call is checked afterwards.
struct ErrorTrap {
  std::atomic<int> count{0};
  static void callback(RtMidiError::Type type, const std::string&, void* user) {
    if (type == RtMidiError::DEBUG_WARNING) return;
    static_cast<ErrorTrap*>(user)->count.fetch_add(1, std::memory_order_relaxed);
  }
  int errors() const { return count.load(std::memory_order_relaxed); }
};

// A fresh RtMidi object of kind T with the error trap installed, or null
// when the backend cannot be reached.
template <typename T>
std::unique_ptr<T> makeClient(MidiBackend backend, ErrorTrap& trap) {
  std::unique_ptr<T> client;
  try {
    client = std::make_unique<T>(apiOf(backend), RtMidiNames::kClient);
    client->setErrorCallback(&ErrorTrap::callback, &trap);
    // Listing connects to the server; a backend that is not there reports
    // an error here rather than failing later inside RtMidi.
    int before = trap.errors();
    client->getPortCount();
    if (trap.errors() != before) client.reset();
  } catch (const std::exception&) {
    client.reset();
  }
  return client;
}

std::vector<std::string> listPorts(RtMidi& client) {
  std::vector<std::string> names;
  try {
    unsigned n = client.getPortCount();
    for (unsigned i = 0; i < n; ++i) {
      std::string name = client.getPortName(i);
      if (!name.empty() && !Midi_isownport(name)) names.push_back(name);
    }
  } catch (const std::exception&) {
    names.clear();
  }
  return names;
}

// Where a port listed earlier is now, in the client's own numbering.
template <typename T>
int findPort(T& client, const std::string& name) {
  unsigned n = client.getPortCount();
  for (unsigned i = 0; i < n; ++i)
    if (client.getPortName(i) == name) return static_cast<int>(i);
  return -1;
}

}  // namespace

MidiBackend Midi_backendfromenv() {
  const char* api = std::getenv("ZT_MIDI_API");
  return api && std::string(api) == "jack" ? MidiBackend::jack : MidiBackend::alsa;
}

// ---- port lists ----

// The client that lists the ports, kept between listings: opening a client
// connects to the server, which is slow.
struct RtMidiPortList::Lister {
  ErrorTrap trap;
  std::unique_ptr<RtMidiIn> in;
  std::unique_ptr<RtMidiOut> out;
  RtMidi* client() { return in ? static_cast<RtMidi*>(in.get()) : out.get(); }
};

RtMidiPortList::RtMidiPortList(MidiBackend backend, MidiDirection direction)
    : backend_(backend), direction_(direction) {}
RtMidiPortList::~RtMidiPortList() = default;

int RtMidiPortList::refresh() {
  std::lock_guard lock(mutex_);
  if (!lister_) {
    auto lister = std::make_unique<Lister>();
    if (direction_ == MidiDirection::input)
      lister->in = makeClient<RtMidiIn>(backend_, lister->trap);
    else
      lister->out = makeClient<RtMidiOut>(backend_, lister->trap);
    if (lister->client()) lister_ = std::move(lister);
  }
  names_ = lister_ ? listPorts(*lister_->client()) : std::vector<std::string>();
  return static_cast<int>(names_.size());
}

bool RtMidiPortList::name(int index, std::string& name) {
  std::lock_guard lock(mutex_);
  if (index < 0 || index >= static_cast<int>(names_.size())) return false;
  name = names_[index];
  return true;
}

// ---- output ----

class RtMidiOutDriver::Port : public MidiOutPort {
 public:
  ~Port() override {
    if (!out) return;
    try {
      out->closePort();
    } catch (const std::exception&) {}
  }

  int send(uint32_t message) override {
    uint8_t bytes[3];
    const size_t length = Midi_wirebytes(message, bytes);
    if (length == 0) return MIDIERR_ERROR;
    // RtMidi's ports take one writer at a time; both the input thread and the
    // window thread send, so they take turns here for the few instructions a
    // send lasts.
    while (busy_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
    int before = trap.errors();
    try {
      out->sendMessage(bytes, length);
    } catch (const std::exception&) {
      trap.count.fetch_add(1, std::memory_order_relaxed);
    }
    int rc = trap.errors() == before ? MIDI_OK : MIDIERR_NOTREADY;
    busy_.clear(std::memory_order_release);
    return rc;
  }

  ErrorTrap trap;
  std::unique_ptr<RtMidiOut> out;

 private:
  std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
};

RtMidiOutDriver::RtMidiOutDriver(MidiBackend backend)
    : backend_(backend), ports_(backend, MidiDirection::output) {}
RtMidiOutDriver::~RtMidiOutDriver() = default;

int RtMidiOutDriver::portCount() { return ports_.refresh(); }

std::string RtMidiOutDriver::portName(int port) {
  std::string name;
  ports_.name(port, name);
  return name;
}

int RtMidiOutDriver::openPort(int port, std::unique_ptr<MidiOutPort>& opened) {
  std::string name;
  if (!ports_.name(port, name)) return MIDIERR_BADDEVICEID;
  // RtMidi's JACK output drops whatever does not fit into one period's
  // buffer; the console's own port keeps it for the next periods.
  if (backend_ == MidiBackend::jack)
    return JackOutPort::open(RtMidiNames::kClient, RtMidiNames::kOutputPort, name, opened);
  auto p = std::make_unique<Port>();
  p->out = makeClient<RtMidiOut>(backend_, p->trap);
  if (!p->out) return MIDIERR_NODRIVER;
  try {
    int index = findPort(*p->out, name);
    if (index < 0) return MIDIERR_BADDEVICEID;  // gone since it was listed
    int before = p->trap.errors();
    p->out->openPort(static_cast<unsigned>(index), RtMidiNames::kOutputPort);
    if (p->trap.errors() != before || !p->out->isPortOpen()) return MIDIERR_ALLOCATED;
  } catch (const std::exception&) {
    return MIDIERR_ERROR;
  }
  opened = std::move(p);
  return MIDI_OK;
}

// ---- input ----

class RtMidiInDriver::Port : public MidiInPort {
 public:
  Port(MidiInListener* listener, bool isVirtual) : virtual_(isVirtual), listener_(listener) {}
  ~Port() override {
    stop();
    if (!in) return;
    try {
      in->cancelCallback();
      in->closePort();
    } catch (const std::exception&) {}
  }

  int start() override {
    running_.store(true);
    return MIDI_OK;
  }

  // Once this returns the listener is not called again: a delivery that saw
  // the port running is waited out.
  int stop() override {
    running_.store(false);
    while (inflight_.load() != 0) std::this_thread::yield();
    return MIDI_OK;
  }

  // Runs on RtMidi's ALSA reader thread, once per complete message.
  static void onMessage(double, std::vector<unsigned char>* message, void* user) {
    auto* port = static_cast<Port*>(user);
    port->inflight_.fetch_add(1);
    if (port->running_.load()) port->deliver(message->data(), message->size());
    port->inflight_.fetch_sub(1);
  }

  // The sequencer's address of the virtual port; RtMidi does not tell it,
  // so it is looked up among this process's clients.
  std::string address() override {
    return virtual_ ? Midi_alsaownport(RtMidiNames::kInputPort) : "";
  }

  ErrorTrap trap;
  std::unique_ptr<RtMidiIn> in;

 private:
  const bool virtual_;
  void deliver(const unsigned char* bytes, size_t size) {
    if (size == 0 || size > 3) return;  // system exclusive is not delivered
    const MidiMessage m = MidiMessage::fromBytes(bytes, size);
    if (m.hasStatus())
      listener_->midiData(m.word);
    else
      listener_->midiError(m.word);
  }

  MidiInListener* listener_;
  std::atomic<bool> running_{false};
  std::atomic<int> inflight_{0};
};

RtMidiInDriver::RtMidiInDriver(MidiBackend backend)
    : backend_(backend), ports_(backend, MidiDirection::input) {}
RtMidiInDriver::~RtMidiInDriver() = default;

// The virtual port is always device 0, so the numbering of the input list
// stays the same whether or not the backend is reachable.
int RtMidiInDriver::portCount() { return 1 + ports_.refresh(); }

std::string RtMidiInDriver::portName(int port) {
  if (port == 0) return RtMidiNames::kInputPort;
  std::string name;
  ports_.name(port - 1, name);
  return name;
}

int RtMidiInDriver::openPort(int port, MidiInListener* listener,
                             std::unique_ptr<MidiInPort>& opened) {
  std::string name;
  if (port != 0 && !ports_.name(port - 1, name)) return MIDIERR_BADDEVICEID;
  // On JACK the console's own port, whose name the automatic connections
  // need (RtMidi's JACK client is its own).
  if (backend_ == MidiBackend::jack)
    return JackInPort::open(RtMidiNames::kClient, RtMidiNames::kInputPort, name, listener, opened);
  auto p = std::make_unique<Port>(listener, port == 0);
  p->in = makeClient<RtMidiIn>(backend_, p->trap);
  if (!p->in) return MIDIERR_NODRIVER;
  try {
    // Time and active sensing come through; the routing drops them itself.
    p->in->ignoreTypes(true, false, false);
    p->in->setCallback(&Port::onMessage, p.get());
    int before = p->trap.errors();
    if (port == 0) {
      p->in->openVirtualPort(RtMidiNames::kInputPort);
    } else {
      int index = findPort(*p->in, name);
      if (index < 0) return MIDIERR_BADDEVICEID;
      p->in->openPort(static_cast<unsigned>(index), RtMidiNames::kInputPort);
    }
    if (p->trap.errors() != before) return MIDIERR_ALLOCATED;
  } catch (const std::exception&) {
    return MIDIERR_ERROR;
  }
  opened = std::move(p);
  return MIDI_OK;
}

}  // namespace zt
