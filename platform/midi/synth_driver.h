#pragma once
// The embedded synthesiser: FluidSynth as an output driver with one port,
// the console's output device 0.
//
// Sends from any thread go into a bounded lock-free queue of message words;
// whoever renders the audio (FluidSynth's audio driver thread, or render()
// when there is no audio driver) drains the queue before each block, so a
// send never blocks, never allocates and never touches the synth itself.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/midi/midi_out.h"

namespace zt {

class SynthOutDriver : public MidiOutDriver {
 public:
  // The SoundFont comes from ZT_SOUNDFONT, the audio driver from
  // ZT_AUDIO_DRIVER ("none": no audio driver, render() pulls the audio; unset:
  // FluidSynth's default). Both are read when the synth is first opened.
  SynthOutDriver();
  ~SynthOutDriver() override;

  int portCount() override;
  std::string portName(int port) override;
  // The first open loads the SoundFont and starts the audio driver; the synth
  // then lives as long as the driver. Every later open shares it.
  int openPort(int port, std::unique_ptr<MidiOutPort>& opened) override;

  // Renders `frames` stereo frames after applying every queued message.
  // Only without an audio driver (MIDIERR_ALLOCATED otherwise, MIDIERR_INVALHANDLE
  // before the first open).
  int render(float* left, float* right, int frames);
  double sampleRate() const;
  // Voices sounding now; only where render() is called (no audio driver).
  int activeVoiceCount() const;
  bool hasAudioDriver() const;

  static constexpr const char* kPortName = "FluidSynth";

 private:
  class Port;
  struct Engine;
  int send(uint32_t message);
  void portClosed();

  std::unique_ptr<Engine> engine_;
  std::atomic<int> openPorts_{0};
};

}  // namespace zt
