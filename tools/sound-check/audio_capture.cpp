#include "tools/sound-check/audio_capture.h"

#include <algorithm>
#include <cstring>

namespace zt {

AudioCapture::AudioCapture(const std::string& name, double maxSeconds) {
  jack_status_t status;
  client_ = jack_client_open(name.c_str(), JackNoStartServer, &status);
  if (!client_) return;
  rate_ = jack_get_sample_rate(client_);
  const size_t capacity = static_cast<size_t>(maxSeconds * rate_);
  left_.assign(capacity, 0.0f);
  right_.assign(capacity, 0.0f);
  inLeft_ = jack_port_register(client_, "left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  inRight_ = jack_port_register(client_, "right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(client_, &AudioCapture::process, this);
  if (!inLeft_ || !inRight_ || jack_activate(client_) != 0) {
    jack_client_close(client_);
    client_ = nullptr;
  }
}

AudioCapture::~AudioCapture() {
  if (client_) jack_client_close(client_);
}

std::string AudioCapture::leftName() const { return jack_port_name(inLeft_); }
std::string AudioCapture::rightName() const { return jack_port_name(inRight_); }

void AudioCapture::start() {
  recording_.store(false, std::memory_order_release);
  recorded_.store(0, std::memory_order_release);
  recording_.store(true, std::memory_order_release);
}

void AudioCapture::stop() { recording_.store(false, std::memory_order_release); }

int AudioCapture::process(jack_nframes_t frames, void* arg) {
  auto* self = static_cast<AudioCapture*>(arg);
  if (!self->recording_.load(std::memory_order_acquire)) return 0;
  const size_t at = self->recorded_.load(std::memory_order_relaxed);
  const size_t n = std::min<size_t>(frames, self->left_.size() - at);
  const auto* l = static_cast<const float*>(jack_port_get_buffer(self->inLeft_, frames));
  const auto* r = static_cast<const float*>(jack_port_get_buffer(self->inRight_, frames));
  std::memcpy(self->left_.data() + at, l, n * sizeof(float));
  std::memcpy(self->right_.data() + at, r, n * sizeof(float));
  self->recorded_.store(at + n, std::memory_order_release);
  if (at + n == self->left_.size()) self->recording_.store(false, std::memory_order_release);
  return 0;
}

}  // namespace zt
