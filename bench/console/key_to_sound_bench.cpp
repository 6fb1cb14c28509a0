// Key to sound over a private JACK server: a keyboard client plays keys into
// the console's virtual input with all 32 registers drawn; the console plays
// them on the embedded FluidSynth, which renders on JACK audio; a capture
// client records the synthesiser's output. For each key it prints the frames
// between the key's arrival and the first non-silent output sample.
// Goal: every key within one JACK period plus FluidSynth's 64-frame block.
#include <jack/jack.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "tests/support/jack_console.h"

using namespace zt;
using zt::test::JackMidiClient;
using zt::test::JackServer;

namespace {

constexpr float kOnset = 1e-4f;    // a sample above this is sound
constexpr float kSilence = 1e-5f;  // a period whose peak stays below is silent

// Two audio inputs; the process callback notes the frame time of the first
// sample above the onset level once armed, and how many periods in a row
// have been silent. It neither blocks nor allocates.
class AudioCapture {
 public:
  AudioCapture() {
    client_ = jack_client_open("sound", JackNoStartServer, nullptr);
    if (!client_) return;
    left_ = jack_port_register(client_, "left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    right_ = jack_port_register(client_, "right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client_, &AudioCapture::process, this);
    jack_activate(client_);
  }
  ~AudioCapture() {
    if (client_) jack_client_close(client_);
  }
  jack_client_t* client() const { return client_; }
  void arm() {
    onset_.store(0, std::memory_order_relaxed);
    armed_.store(true, std::memory_order_release);
  }
  bool heard() const { return !armed_.load(std::memory_order_acquire); }
  uint32_t onset() const { return onset_.load(std::memory_order_relaxed); }
  int silentPeriods() const { return silent_.load(std::memory_order_relaxed); }

 private:
  static int process(jack_nframes_t frames, void* arg) {
    auto* self = static_cast<AudioCapture*>(arg);
    const jack_nframes_t start = jack_last_frame_time(self->client_);
    auto* l = static_cast<const float*>(jack_port_get_buffer(self->left_, frames));
    auto* r = static_cast<const float*>(jack_port_get_buffer(self->right_, frames));
    float peak = 0;
    for (jack_nframes_t i = 0; i < frames; ++i) {
      const float s = std::max(std::fabs(l[i]), std::fabs(r[i]));
      peak = std::max(peak, s);
      if (s > kOnset && self->armed_.load(std::memory_order_relaxed)) {
        self->onset_.store(start + i, std::memory_order_relaxed);
        self->armed_.store(false, std::memory_order_release);
      }
    }
    self->silent_.store(peak < kSilence ? self->silent_.load(std::memory_order_relaxed) + 1 : 0,
                        std::memory_order_relaxed);
    return 0;
  }

  jack_client_t* client_ = nullptr;
  jack_port_t* left_ = nullptr;
  jack_port_t* right_ = nullptr;
  std::atomic<bool> armed_{false};
  std::atomic<uint32_t> onset_{0};
  std::atomic<int> silent_{0};
};

std::vector<std::string> ports(jack_client_t* c, const char* pattern, const char* type,
                               unsigned long flags) {
  std::vector<std::string> out;
  if (const char** p = jack_get_ports(c, pattern, type, flags)) {
    for (int i = 0; p[i]; ++i) out.emplace_back(p[i]);
    jack_free(p);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const int keys = argc > 1 ? std::atoi(argv[1]) : 200;
  test::JackConsoleRig rig;
  if (!rig.start("jack")) return 1;
  JackMidiClient& keyboard = *rig.keyboard;
  AudioCapture sound;
  for (int r = 1; r <= kRegisters; ++r) test::Register_draw(r, "19 Church Organ", 200, r % 3 - 1);
  // Output device 0: the embedded synthesiser, on JACK audio.
  const std::string failed = test::Console_jackstart(keyboard, 0);
  if (!failed.empty() || !sound.client()) {
    std::fprintf(stderr, "set-up failed: %s\n",
                 failed.empty() ? "no audio capture" : failed.c_str());
    return 1;
  }
  const auto synthOut =
      ports(sound.client(), "^fluidsynth", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
  if (synthOut.size() < 2) {
    std::fprintf(stderr, "the synthesiser has no JACK audio ports\n");
    return 1;
  }
  jack_connect(sound.client(), synthOut[0].c_str(), "sound:left");
  jack_connect(sound.client(), synthOut[1].c_str(), "sound:right");
  jack_nframes_t period = jack_get_buffer_size(sound.client());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));

  std::vector<long> latencies;
  std::map<long, int> histogram;  // in 64-frame blocks
  int lost = 0;
  for (int k = 0; k < keys; ++k) {
    // Start from silence, so the onset is this key's.
    test::Wait_until([&] { return sound.silentPeriods() >= 4; }, std::chrono::milliseconds(5000));
    const uint8_t note = uint8_t(48 + k % 25);
    const size_t sentBefore = keyboard.sentCount();
    sound.arm();
    keyboard.send({0x90, note, 100});
    const bool heard =
        test::Wait_until([&] { return sound.heard(); }, std::chrono::milliseconds(2000));
    if (!heard || !keyboard.waitSent(sentBefore + 1)) {
      ++lost;
    } else {
      const long frames = long(int32_t(sound.onset() - keyboard.sentAt(sentBefore).frame));
      latencies.push_back(frames);
      histogram[frames / 64]++;
    }
    keyboard.send({0x80, note, 0});
    keyboard.send({0xB0, 123, 0});
    if (k % 20 == 0) Display_drain();
  }
  Display_drain();

  std::sort(latencies.begin(), latencies.end());
  const long goal = long(period) + 64;
  const long over =
      std::count_if(latencies.begin(), latencies.end(), [&](long f) { return f > goal; });
  std::printf("JACK dummy backend, %d Hz, %u frames per period; FluidSynth on JACK audio\n",
              JackServer::kRate, period);
  std::printf(
      "%d keys through 32 drawn registers, frames from arrival to the first sample above %g:\n",
      keys, double(kOnset));
  for (auto& [block, count] : histogram)
    std::printf("  %4ld..%4ld  %4d\n", block * 64, block * 64 + 63, count);
  if (!latencies.empty()) {
    auto pct = [&](double p) { return latencies[size_t(p * double(latencies.size() - 1))]; };
    std::printf("min %ld, median %ld, p99 %ld, max %ld frames (%.2f ms max)\n", latencies.front(),
                pct(0.5), pct(0.99), latencies.back(),
                1000.0 * double(latencies.back()) / JackServer::kRate);
  }
  std::printf("goal %ld frames (one period + 64): %ld over, %d without sound\n", goal, over, lost);
  return 0;
}
