#pragma once
// A JACK client that records two audio inputs ("left" and "right") into
// buffers made beforehand; the process callback only copies, never waits
// or allocates. Recording stops by itself when the buffers are full.
#include <jack/jack.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace zt {

class AudioCapture {
 public:
  AudioCapture(const std::string& name, double maxSeconds);
  ~AudioCapture();
  AudioCapture(const AudioCapture&) = delete;
  AudioCapture& operator=(const AudioCapture&) = delete;

  bool ok() const { return client_ != nullptr; }
  jack_client_t* client() const { return client_; }
  double rate() const { return rate_; }
  std::string leftName() const;
  std::string rightName() const;

  // Starts a new recording from the next period on.
  void start();
  void stop();
  // Frames recorded so far in this recording.
  size_t frames() const { return recorded_.load(std::memory_order_acquire); }
  // What was recorded (call after stop()).
  std::vector<float> left() const { return {left_.begin(), left_.begin() + frames()}; }
  std::vector<float> right() const { return {right_.begin(), right_.begin() + frames()}; }

 private:
  static int process(jack_nframes_t frames, void* arg);

  jack_client_t* client_ = nullptr;
  jack_port_t* inLeft_ = nullptr;
  jack_port_t* inRight_ = nullptr;
  double rate_ = 48000;
  std::vector<float> left_, right_;
  std::atomic<bool> recording_{false};
  std::atomic<size_t> recorded_{0};
};

}  // namespace zt
