#include "platform/midi/synth_audio.h"

#include "platform/midi/backend_probe.h"
#include "platform/midi/fluid_setup.h"

#include <jack/jack.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace zt {

namespace {

constexpr const char* kPreferred[] = {"pipewire", "pulseaudio", "alsa", "jack"};

// A positive whole number from the environment, kept within FluidSynth's
// limits; `otherwise` when unset or not a number.
int envNumber(const char* name, int otherwise, int low, int high) {
  const char* text = std::getenv(name);
  if (!text || !*text) return otherwise;
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (end == text || *end != 0 || v <= 0) return otherwise;
  return static_cast<int>(std::clamp<long>(v, low, high));
}

void addOption(void* data, const char* /*name*/, const char* option) {
  static_cast<std::vector<std::string>*>(data)->emplace_back(option);
}

// A running JACK server's period, or 0 when none runs. Never starts one:
// a client would otherwise launch jackd on the sound card, which on a
// machine without sound takes seconds and then fails.
int jackServerPeriod() {
  jack_status_t status;
  jack_client_t* client = jack_client_open("zt-probe", JackNoStartServer, &status);
  if (!client) return 0;
  int period = static_cast<int>(jack_get_buffer_size(client));
  jack_client_close(client);
  return period > 0 ? period : 1;
}

}  // namespace

void SynthAudio_configure(fluid_settings_t* settings) {
  fluid_settings_setnum(settings, "synth.sample-rate", kAudioRate);
  fluid_settings_setint(settings, "audio.period-size",
                        envNumber("ZT_AUDIO_PERIOD_SIZE", kAudioPeriodSize, 64, 8192));
  fluid_settings_setint(settings, "audio.periods",
                        envNumber("ZT_AUDIO_PERIODS", kAudioPeriods, 2, 64));
  // JACK's outputs go to the system's playback ports, so it sounds at once.
  fluid_settings_setint(settings, "audio.jack.autoconnect", 1);
}

std::vector<std::string> SynthAudio_candidates(fluid_settings_t* settings) {
  std::vector<std::string> built;
  fluid_settings_foreach_option(settings, "audio.driver", &built, addOption);
  std::vector<std::string> out;
  for (const char* name : kPreferred)
    if (std::find(built.begin(), built.end(), name) != built.end()) out.emplace_back(name);
  return out;
}

SynthAudio SynthAudio_open(fluid_settings_t* settings, fluid_audio_func_t render, void* data) {
  SynthAudio audio;
  const char* chosen = std::getenv("ZT_AUDIO_DRIVER");
  if (chosen && std::strcmp(chosen, "none") == 0) {
    audio.disabled = true;
    audio.report = "Audio FluidSynth: none (ZT_AUDIO_DRIVER=none)";
    return audio;
  }
  std::vector<std::string> candidates;
  if (chosen && *chosen)
    candidates.emplace_back(chosen);
  else
    candidates = SynthAudio_candidates(settings);

  int jackPeriod = 0;
  {
    // While the drivers are tried, FluidSynth's complaints about what is not
    // there stay out of the terminal (ALSA's and JACK's for good): on a
    // machine without sound they are expected and say nothing the report
    // does not.
    FluidQuiet quiet;
    Midi_quietlibraries();
    for (const std::string& name : candidates) {
      if (name == "jack" && (jackPeriod = jackServerPeriod()) == 0) continue;
      if (fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
      audio.driver = new_fluid_audio_driver2(settings, render, data);
      if (audio.driver) {
        audio.name = name;
        break;
      }
    }
  }

  if (!audio.driver) {
    std::string tried;
    for (const std::string& name : candidates) tried += (tried.empty() ? "" : ", ") + name;
    audio.report = "Audio FluidSynth: no audio device (tried " +
                   (tried.empty() ? std::string("none") : tried) +
                   "), the synthesiser renders into nothing";
    return audio;
  }
  double rate = 0;
  int periodSize = 0, periods = 0;
  fluid_settings_getnum(settings, "synth.sample-rate", &rate);
  fluid_settings_getint(settings, "audio.period-size", &periodSize);
  fluid_settings_getint(settings, "audio.periods", &periods);
  audio.report =
      "Audio FluidSynth: " + audio.name + ", " + std::to_string(static_cast<int>(rate)) + " Hz, ";
  if (audio.name == "jack")
    audio.report += std::to_string(jackPeriod) + " frames per period (the JACK server's)";
  else
    audio.report += std::to_string(periods) + " x " + std::to_string(periodSize) + " frames";
  return audio;
}

}  // namespace zt
