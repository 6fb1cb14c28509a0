#include "platform/midi/jack_in_port.h"

#include <jack/midiport.h>

#include <cerrno>
#include <thread>

#include "common/midi_message.h"

namespace zt {

int JackInPort::open(const std::string& client, const std::string& port, const std::string& source,
                     MidiInListener* listener, std::unique_ptr<MidiInPort>& opened) {
  std::unique_ptr<JackInPort> in(new JackInPort(listener));
  jack_status_t status{};
  in->client_ = jack_client_open(client.c_str(), JackNoStartServer, &status);
  if (!in->client_) return MIDIERR_NODRIVER;
  in->port_ =
      jack_port_register(in->client_, port.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  if (!in->port_) return MIDIERR_ALLOCATED;
  jack_set_process_callback(in->client_, &JackInPort::process, in.get());
  if (jack_activate(in->client_) != 0) return MIDIERR_ERROR;
  in->active_ = true;
  if (!source.empty()) {
    const int rc = jack_connect(in->client_, source.c_str(), jack_port_name(in->port_));
    if (rc != 0 && rc != EEXIST) return MIDIERR_BADDEVICEID;  // gone since it was listed
  }
  opened = std::move(in);
  return MIDI_OK;
}

JackInPort::~JackInPort() {
  stop();
  if (!client_) return;
  if (active_) jack_deactivate(client_);
  jack_client_close(client_);
}

int JackInPort::start() {
  running_.store(true);
  return MIDI_OK;
}

int JackInPort::stop() {
  running_.store(false);
  while (inflight_.load() != 0) std::this_thread::yield();
  return MIDI_OK;
}

std::string JackInPort::address() { return port_ ? jack_port_name(port_) : std::string(); }

int JackInPort::process(jack_nframes_t frames, void* self) {
  auto* in = static_cast<JackInPort*>(self);
  void* buffer = jack_port_get_buffer(in->port_, frames);
  // Announce the delivery before looking at the flag: stop() clears the
  // flag first and then waits for the announced deliveries.
  in->inflight_.fetch_add(1);
  if (in->running_.load()) {
    const jack_nframes_t count = jack_midi_get_event_count(buffer);
    for (jack_nframes_t i = 0; i < count; ++i) {
      jack_midi_event_t event;
      if (jack_midi_event_get(&event, buffer, i) != 0) continue;
      // System exclusive is not delivered.
      if (event.size == 0 || event.size > 3) continue;
      const MidiMessage m = MidiMessage::fromBytes(event.buffer, event.size);
      if (m.hasStatus())
        in->listener_->midiData(m.word);
      else
        in->listener_->midiError(m.word);
    }
  }
  in->inflight_.fetch_sub(1);
  return 0;
}

}  // namespace zt
