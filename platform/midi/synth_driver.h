#pragma once
// The embedded synthesiser: FluidSynth as an output driver with one port,
// the console's output device 0.
//
// Sends from any thread go into a bounded lock-free queue of message words;
// whoever renders the audio (FluidSynth's audio driver thread, the silent
// renderer, or render() with ZT_AUDIO_DRIVER=none) drains the queue before
// each block, so a send never blocks, never allocates and never touches the
// synth itself. The queue holds over a second of the densest input; should
// the audio stall longer, sends still succeed: releases are kept (the
// newest first) and other messages dropped.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/midi/midi_out.h"

namespace zt {

class SynthOutDriver : public MidiOutDriver {
 public:
  // The SoundFont comes from ZT_SOUNDFONT; the audio is the first of
  // PipeWire, PulseAudio, ALSA and JACK that opens, or the one driver that
  // ZT_AUDIO_DRIVER names ("none": no audio driver, render() pulls the
  // audio). With no audio at all the synth still opens and renders into
  // nothing on a thread of its own, so sends are taken as ever. Read when
  // the synth is first opened; the choice goes to the device layer's log.
  SynthOutDriver();
  ~SynthOutDriver() override;

  int portCount() override;
  std::string portName(int port) override;
  // The first open loads the SoundFont and starts the audio driver; the synth
  // then lives as long as the driver. Every later open shares it.
  int openPort(int port, std::unique_ptr<MidiOutPort>& opened) override;
  // The wavetable card of this console: true while its SoundFont can be read.
  bool playsSoundFonts(int port) override;

  // Renders `frames` stereo frames after applying every queued message.
  // Only with ZT_AUDIO_DRIVER=none (MIDIERR_ALLOCATED when something else
  // renders, MIDIERR_INVALHANDLE before the first open).
  int render(float* left, float* right, int frames);
  double sampleRate() const;
  // Voices sounding now; only where render() is called (ZT_AUDIO_DRIVER=none).
  int activeVoiceCount() const;
  // The voices whose keys are held (not released), as (internal channel,
  // key); the same condition.
  std::vector<std::pair<int, int>> heldVoices() const;
  // The voices the synthesiser can sound at once.
  static int polyphony();
  bool hasAudioDriver() const;
  // Messages given up because the send queue was full.
  uint64_t droppedCount() const;
  // The log line of the first open: which driver, rate and buffer, or that
  // there is no audio.
  std::string audioReport() const;

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
