#include "platform/midi/jack_out_port.h"

#include <jack/midiport.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/midi/wire_bytes.h"

namespace zt {

int JackOutPort::open(const std::string& client, const std::string& port, const std::string& target,
                      std::unique_ptr<MidiOutPort>& opened) {
  std::unique_ptr<JackOutPort> out(new JackOutPort());
  jack_status_t status{};
  out->client_ = jack_client_open(client.c_str(), JackNoStartServer, &status);
  if (!out->client_) return MIDIERR_NODRIVER;
  out->port_ =
      jack_port_register(out->client_, port.c_str(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  if (!out->port_) return MIDIERR_ALLOCATED;
  jack_set_process_callback(out->client_, &JackOutPort::process, out.get());
  jack_on_shutdown(out->client_, &JackOutPort::shutdown, out.get());
  if (jack_activate(out->client_) != 0) return MIDIERR_ERROR;
  out->active_ = true;
  const int rc = jack_connect(out->client_, jack_port_name(out->port_), target.c_str());
  if (rc != 0 && rc != EEXIST) return MIDIERR_BADDEVICEID;  // gone since it was listed
  opened = std::move(out);
  return MIDI_OK;
}

JackOutPort::~JackOutPort() {
  if (!client_) return;
  // All notes off on the way out, above all, must reach the synthesiser.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCloseWaitMs);
  while (active_ && !gone_.load() && written_.load() < queued_.load() &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (active_) jack_deactivate(client_);
  jack_client_close(client_);
}

int JackOutPort::send(uint32_t message) {
  uint8_t bytes[3];
  if (Midi_wirebytes(message, bytes) == 0) return MIDIERR_ERROR;
  if (gone_.load(std::memory_order_relaxed)) return MIDIERR_NODRIVER;
  if (!queue_.push(message)) return MIDIERR_NOTREADY;
  queued_.fetch_add(1, std::memory_order_relaxed);
  return MIDI_OK;
}

int JackOutPort::process(jack_nframes_t frames, void* self) {
  auto* out = static_cast<JackOutPort*>(self);
  void* buffer = jack_port_get_buffer(out->port_, frames);
  jack_midi_clear_buffer(buffer);
  uint64_t written = 0;
  for (;;) {
    if (!out->holding_) {
      if (!out->queue_.pop(out->held_)) break;
      out->holding_ = true;
    }
    uint8_t bytes[3];
    const size_t length = Midi_wirebytes(out->held_, bytes);
    // When the buffer has no room left the message waits, first in line,
    // for the next period. (Asking first keeps JACK from logging a refusal
    // on this thread.)
    if (jack_midi_max_event_size(buffer) < length ||
        jack_midi_event_write(buffer, 0, bytes, length) != 0)
      break;
    out->holding_ = false;
    ++written;
  }
  if (written != 0) out->written_.fetch_add(written);
  return 0;
}

void JackOutPort::shutdown(void* self) { static_cast<JackOutPort*>(self)->gone_.store(true); }

}  // namespace zt
