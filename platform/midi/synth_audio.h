#pragma once
// The embedded synthesiser's audio output: the first of FluidSynth's own
// PipeWire, PulseAudio, ALSA and JACK drivers that opens, with a low-latency
// buffer. A machine without sound is not an error: no driver opens, and the
// synthesiser renders into nothing.
//
// The environment chooses otherwise: ZT_AUDIO_DRIVER names the one driver to
// try ("none": none at all), ZT_AUDIO_PERIOD_SIZE and ZT_AUDIO_PERIODS set
// the buffer (default 2 x 256 frames at 48 kHz, some 10 ms).
//
// Probing must stay quick and quiet on a headless machine: a JACK server is
// never started for us (only a running one is used), and what the drivers
// print while they fail is kept out of the terminal.
#include <fluidsynth.h>

#include <string>
#include <vector>

namespace zt {

constexpr int kAudioRate = 48000;
constexpr int kAudioPeriodSize = 256;
constexpr int kAudioPeriods = 2;

struct SynthAudio {
  fluid_audio_driver_t* driver = nullptr;  // nullptr: no audio
  bool disabled = false;                   // ZT_AUDIO_DRIVER=none
  std::string name;                        // the driver that opened
  std::string report;                      // one line for the log
};

// Sets the rate and the buffer on `settings` (before the synth is made).
void SynthAudio_configure(fluid_settings_t* settings);

// Opens the first driver that works, rendering through `render(data, ...)`.
// Reads the rate the driver settled on back into `settings`.
SynthAudio SynthAudio_open(fluid_settings_t* settings, fluid_audio_func_t render, void* data);

// The drivers tried when ZT_AUDIO_DRIVER is not set, in order, among those
// this FluidSynth was built with.
std::vector<std::string> SynthAudio_candidates(fluid_settings_t* settings);

}  // namespace zt
