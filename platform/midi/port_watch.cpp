#include "platform/midi/port_watch.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "platform/midi/backend_probe.h"
#include "platform/midi/port_names.h"

namespace zt {

namespace {

bool wanted(const std::string& name) { return !Midi_isownport(name) && !Midi_isthroughport(name); }

// ---- JACK ----

class JackWatch : public MidiPortWatch {
 public:
  static std::unique_ptr<MidiPortWatch> open(std::function<void()> changed) {
    std::unique_ptr<JackWatch> w(new JackWatch(std::move(changed)));
    jack_status_t status{};
    w->client_ = jack_client_open(RtMidiNames::kClient, JackNoStartServer, &status);
    if (!w->client_) return nullptr;
    jack_set_port_registration_callback(w->client_, &JackWatch::registration, w.get());
    jack_set_port_connect_callback(w->client_, &JackWatch::connection, w.get());
    jack_set_port_rename_callback(w->client_, &JackWatch::renamed, w.get());
    jack_on_shutdown(w->client_, &JackWatch::shutdown, w.get());
    if (jack_activate(w->client_) != 0) return nullptr;
    w->active_ = true;
    return w;
  }

  ~JackWatch() override {
    if (!client_) return;
    if (active_ && !gone_.load()) jack_deactivate(client_);
    jack_client_close(client_);
  }

  bool alive() override { return !gone_.load(); }

  std::vector<MidiSourcePort> sources() override {
    std::vector<MidiSourcePort> out;
    if (gone_.load()) return out;
    const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    for (int i = 0; ports && ports[i]; ++i)
      if (wanted(ports[i])) out.push_back({ports[i], Midi_stablename(ports[i])});
    if (ports) jack_free(ports);
    return out;
  }

  std::vector<std::string> feeding(const std::string& input) override {
    std::vector<std::string> out;
    if (gone_.load()) return out;
    jack_port_t* port = jack_port_by_name(client_, input.c_str());
    if (!port) return out;
    const char** ports = jack_port_get_all_connections(client_, port);
    for (int i = 0; ports && ports[i]; ++i) out.emplace_back(ports[i]);
    if (ports) jack_free(ports);
    return out;
  }

  bool connect(const std::string& source, const std::string& input) override {
    if (gone_.load()) return false;
    const int rc = jack_connect(client_, source.c_str(), input.c_str());
    return rc == 0 || rc == EEXIST;
  }

 private:
  explicit JackWatch(std::function<void()> changed) : changed_(std::move(changed)) {}
  static void registration(jack_port_id_t, int, void* self) {
    static_cast<JackWatch*>(self)->changed_();
  }
  static void connection(jack_port_id_t, jack_port_id_t, int, void* self) {
    static_cast<JackWatch*>(self)->changed_();
  }
  static void renamed(jack_port_id_t, const char*, const char*, void* self) {
    static_cast<JackWatch*>(self)->changed_();
  }
  static void shutdown(void* self) {
    auto* w = static_cast<JackWatch*>(self);
    w->gone_.store(true);
    w->changed_();
  }

  std::function<void()> changed_;
  jack_client_t* client_ = nullptr;
  bool active_ = false;
  std::atomic<bool> gone_{false};
};

// ---- ALSA ----

std::string alsaAddress(int client, int port) {
  return std::to_string(client) + ":" + std::to_string(port);
}

snd_seq_t* openSequencer(int mode, int flags) {
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", mode, flags) < 0) return nullptr;
  snd_seq_set_client_name(seq, RtMidiNames::kClient);
  return seq;
}

// Every port of the sequencer that `keep` accepts, given its client's
// information, its own and its "client:port" name.
template <typename Keep>
void eachPort(snd_seq_t* seq, Keep keep) {
  snd_seq_client_info_t* client;
  snd_seq_port_info_t* port;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(seq, client) >= 0) {
    const int c = snd_seq_client_info_get_client(client);
    snd_seq_port_info_set_client(port, c);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(seq, port) >= 0)
      keep(client, port,
           std::string(snd_seq_client_info_get_name(client)) + ":" +
               snd_seq_port_info_get_name(port));
  }
}

class AlsaWatch : public MidiPortWatch {
 public:
  static std::unique_ptr<MidiPortWatch> open(std::function<void()> changed) {
    std::unique_ptr<AlsaWatch> w(new AlsaWatch(std::move(changed)));
    w->announce_ = openSequencer(SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK);
    w->query_ = openSequencer(SND_SEQ_OPEN_DUPLEX, 0);
    if (!w->announce_ || !w->query_) return nullptr;
    const int port = snd_seq_create_simple_port(w->announce_, "ZT watch",
                                                SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                                SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0 || snd_seq_connect_from(w->announce_, port, SND_SEQ_CLIENT_SYSTEM,
                                         SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0)
      return nullptr;
    w->reader_ = std::thread([raw = w.get()] { raw->read(); });
    return w;
  }

  ~AlsaWatch() override {
    quit_.store(true);
    if (reader_.joinable()) reader_.join();
    if (announce_) snd_seq_close(announce_);
    if (query_) snd_seq_close(query_);
  }

  bool alive() override { return true; }

  std::vector<MidiSourcePort> sources() override {
    std::vector<MidiSourcePort> out;
    // The console's own clients are all called "ZT" (wanted() leaves them out).
    eachPort(query_, [&](snd_seq_client_info_t* client, snd_seq_port_info_t* port,
                         const std::string& name) {
      const int c = snd_seq_client_info_get_client(client);
      if (c == SND_SEQ_CLIENT_SYSTEM) return;
      const unsigned caps = snd_seq_port_info_get_capability(port);
      const unsigned need = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
      if ((caps & need) != need || (caps & SND_SEQ_PORT_CAP_NO_EXPORT)) return;
      const unsigned type = snd_seq_port_info_get_type(port);
      if (!(type & (SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SYNTH |
                    SND_SEQ_PORT_TYPE_APPLICATION)))
        return;
      if (wanted(name))
        out.push_back({alsaAddress(c, snd_seq_port_info_get_port(port)), Midi_stablename(name)});
    });
    return out;
  }

  std::vector<std::string> feeding(const std::string& input) override {
    std::vector<std::string> out;
    snd_seq_addr_t root;
    if (snd_seq_parse_address(query_, &root, input.c_str()) < 0) return out;
    snd_seq_query_subscribe_t* query;
    snd_seq_query_subscribe_alloca(&query);
    snd_seq_query_subscribe_set_root(query, &root);
    snd_seq_query_subscribe_set_type(query, SND_SEQ_QUERY_SUBS_WRITE);
    snd_seq_query_subscribe_set_index(query, 0);
    while (snd_seq_query_port_subscribers(query_, query) >= 0) {
      const snd_seq_addr_t* from = snd_seq_query_subscribe_get_addr(query);
      out.push_back(alsaAddress(from->client, from->port));
      snd_seq_query_subscribe_set_index(query, snd_seq_query_subscribe_get_index(query) + 1);
    }
    return out;
  }

  bool connect(const std::string& source, const std::string& input) override {
    snd_seq_addr_t sender, dest;
    if (snd_seq_parse_address(query_, &sender, source.c_str()) < 0 ||
        snd_seq_parse_address(query_, &dest, input.c_str()) < 0)
      return false;
    snd_seq_port_subscribe_t* subscription;
    snd_seq_port_subscribe_alloca(&subscription);
    snd_seq_port_subscribe_set_sender(subscription, &sender);
    snd_seq_port_subscribe_set_dest(subscription, &dest);
    const int rc = snd_seq_subscribe_port(query_, subscription);
    return rc == 0 || rc == -EBUSY;
  }

 private:
  explicit AlsaWatch(std::function<void()> changed) : changed_(std::move(changed)) {}

  // The announcements of ports (started, changed or ended, a connection
  // made or undone) read together are one call of `changed`. Clients that
  // come and go without ports are no news: the console's own listings and
  // probes are such clients, and would otherwise call for looks without
  // end. The wait is bounded so that the destructor is never kept long.
  void read() {
    const int n = snd_seq_poll_descriptors_count(announce_, POLLIN);
    std::vector<pollfd> fds(n > 0 ? n : 0);
    if (n > 0) snd_seq_poll_descriptors(announce_, fds.data(), n, POLLIN);
    while (!quit_.load()) {
      if (poll(fds.data(), fds.size(), 200) <= 0) continue;
      bool news = false;
      snd_seq_event_t* event = nullptr;
      while (snd_seq_event_input(announce_, &event) >= 0 && event) {
        switch (event->type) {
          case SND_SEQ_EVENT_PORT_START:
          case SND_SEQ_EVENT_PORT_EXIT:
          case SND_SEQ_EVENT_PORT_CHANGE:
          case SND_SEQ_EVENT_PORT_SUBSCRIBED:
          case SND_SEQ_EVENT_PORT_UNSUBSCRIBED: news = true; break;
          default: break;
        }
      }
      if (news) changed_();
    }
  }

  std::function<void()> changed_;
  snd_seq_t* announce_ = nullptr;  // the reader thread's
  snd_seq_t* query_ = nullptr;     // listing and connecting
  std::thread reader_;
  std::atomic<bool> quit_{false};
};

}  // namespace

std::unique_ptr<MidiPortWatch> Midi_portwatch(MidiBackend backend, std::function<void()> changed) {
  Midi_quietlibraries();
  if (backend == MidiBackend::jack) return JackWatch::open(std::move(changed));
  return AlsaWatch::open(std::move(changed));
}

bool Midi_autoconnectfromenv() {
  const char* value = std::getenv("ZT_AUTOCONNECT");
  return !(value && std::string(value) == "0");
}

std::string Midi_alsaownport(const std::string& port) {
  Midi_quietlibraries();
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) return {};
  const pid_t self = getpid();
  std::string found;
  eachPort(seq, [&](snd_seq_client_info_t* client, snd_seq_port_info_t* info, const std::string&) {
    if (found.empty() && snd_seq_client_info_get_pid(client) == self &&
        port == snd_seq_port_info_get_name(info))
      found = alsaAddress(snd_seq_client_info_get_client(client), snd_seq_port_info_get_port(info));
  });
  snd_seq_close(seq);
  return found;
}

}  // namespace zt
