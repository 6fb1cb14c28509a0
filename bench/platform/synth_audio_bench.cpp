// The embedded synthesiser's audio thread: how long FluidSynth takes to find
// its audio (every console start pays it once; on a machine without sound
// every driver must fail fast), and what one audio period costs with a full
// organ sounding, with the channel pool and with plain FluidSynth playing the
// same messages on 16 channels (the real-time factor is the period's render
// time over the period's duration).
#include <benchmark/benchmark.h>
#include <fluidsynth.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "common/midi_message.h"
#include "platform/midi/synth_audio.h"
#include "platform/midi/synth_driver.h"

namespace {

constexpr int kPeriod = 256;
constexpr double kRate = 48000;

int silence(void*, int len, int, float*[], int nout, float* out[]) {
  for (int i = 0; i < nout; ++i) std::memset(out[i], 0, sizeof(float) * len);
  return 0;
}

void BM_AudioProbe(benchmark::State& state) {
  for (auto _ : state) {
    fluid_settings_t* settings = new_fluid_settings();
    zt::SynthAudio_configure(settings);
    zt::SynthAudio audio = zt::SynthAudio_open(settings, silence, nullptr);
    benchmark::DoNotOptimize(audio.driver);
    if (audio.driver) delete_fluid_audio_driver(audio.driver);
    delete_fluid_settings(settings);
    state.SetLabel(audio.report);
  }
}
BENCHMARK(BM_AudioProbe)->Unit(benchmark::kMillisecond)->Iterations(20);

// A full organ: 32 registers, each its own program and side, a shift and an
// added note, under ten keys; as the console sends it on channel 0.
std::vector<uint32_t> fullOrgan(int keyCount) {
  const int programs[32] = {16, 17, 18, 19, 20, 21, 22, 23, 40, 41, 42, 70, 44, 48, 49, 50,
                            51, 52, 53, 54, 56, 57, 71, 59, 60, 61, 64, 72, 66, 73, 68, 74};
  const int keys[] = {36, 40, 43, 48, 52, 55, 60, 64, 67, 72};
  std::vector<uint32_t> words;
  for (int k = 0; k < keyCount; ++k) {
    for (int r = 0; r < 32; ++r) {
      const int shift = (r % 5 - 2) * 6, multi = 1 + r % 12;
      words.push_back(zt::MidiMessage(zt::kProgramChange, programs[r]).word);
      words.push_back(zt::MidiMessage(zt::kControlChange, zt::kPanController, (r % 3) * 63).word);
      words.push_back(zt::MidiMessage(zt::kNoteOn, keys[k] + shift, 127).word);
      words.push_back(zt::MidiMessage(zt::kNoteOn, keys[k] + shift + multi, 127).word);
    }
    words.push_back(zt::MidiMessage(zt::kNoteOn, keys[k], 100).word);  // the key itself, forwarded
  }
  return words;
}

// Renders periods while the benchmark runs and reports the real-time
// factor: the render's wall time over the period's duration.
template <class Render>
void timePeriods(benchmark::State& state, Render render, int voices) {
  double spent = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    render();
    spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["voices"] = voices;
  state.counters["rtf"] = spent / (double(state.iterations()) * kPeriod / kRate);
}

// The console's synthesiser, through its channel pool and limiter.
void BM_FullOrganPeriodWithThePool(benchmark::State& state) {
  setenv("ZT_AUDIO_DRIVER", "none", 1);
  auto synth = std::make_shared<zt::SynthOutDriver>();
  zt::MidiOut out;
  out.addDriver(synth);
  int32_t handle = 0;
  if (out.open(handle, 0) != zt::MIDI_OK) return state.SkipWithError("no synthesiser");
  std::vector<float> left(kPeriod), right(kPeriod);
  for (uint32_t word : fullOrgan(static_cast<int>(state.range(0)))) out.send(handle, word);
  for (int i = 0; i < 100; ++i) synth->render(left.data(), right.data(), kPeriod);
  timePeriods(
      state, [&] { synth->render(left.data(), right.data(), kPeriod); }, synth->activeVoiceCount());
}
BENCHMARK(BM_FullOrganPeriodWithThePool)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

// Plain FluidSynth: the same messages on 16 channels, the same polyphony and
// gain (what sounds is less: a voice cuts off another of its key).
void BM_FullOrganPeriodWithoutThePool(benchmark::State& state) {
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setint(settings, "synth.threadsafe-api", 0);
  fluid_settings_setint(settings, "synth.polyphony", zt::SynthOutDriver::polyphony());
  fluid_settings_setnum(settings, "synth.sample-rate", kRate);
  fluid_synth_t* synth = new_fluid_synth(settings);
  fluid_synth_sfload(synth, "/usr/share/sounds/sf2/default-GM.sf2", 1);
  std::vector<float> left(kPeriod), right(kPeriod);
  // 64 messages a 64-frame block, as the console's synthesiser plays them.
  const std::vector<uint32_t> words = fullOrgan(static_cast<int>(state.range(0)));
  for (size_t i = 0; i < words.size(); ++i) {
    const zt::MidiMessage m(words[i]);
    switch (m.kind()) {
      case zt::kNoteOn: fluid_synth_noteon(synth, 0, m.data1(), m.data2()); break;
      case zt::kControlChange: fluid_synth_cc(synth, 0, m.data1(), m.data2()); break;
      case zt::kProgramChange: fluid_synth_program_change(synth, 0, m.data1()); break;
    }
    if (i % 64 == 63) fluid_synth_write_float(synth, 64, left.data(), 0, 1, right.data(), 0, 1);
  }
  for (int i = 0; i < 100; ++i)
    fluid_synth_write_float(synth, kPeriod, left.data(), 0, 1, right.data(), 0, 1);
  timePeriods(
      state,
      [&] { fluid_synth_write_float(synth, kPeriod, left.data(), 0, 1, right.data(), 0, 1); },
      fluid_synth_get_active_voice_count(synth));
  delete_fluid_synth(synth);
  delete_fluid_settings(settings);
}
BENCHMARK(BM_FullOrganPeriodWithoutThePool)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

// One key through 32 registers with an added note on an otherwise silent
// synthesiser, as the audio thread plays it: 64-frame blocks are rendered
// until every note of the key sounds. Reported: the audio thread's time for
// the whole key (its note-ons and those blocks) and how many blocks the
// key's notes were spread over (each block gives its messages at most
// 40 % of its time). The key is released after and left to die away.
void BM_KeyThrough32RegistersOnTheAudioThread(benchmark::State& state) {
  setenv("ZT_AUDIO_DRIVER", "none", 1);
  auto synth = std::make_shared<zt::SynthOutDriver>();
  zt::MidiOut out;
  out.addDriver(synth);
  int32_t handle = 0;
  if (out.open(handle, 0) != zt::MIDI_OK) return state.SkipWithError("no synthesiser");
  std::vector<float> left(64), right(64);
  const std::vector<uint32_t> key = fullOrgan(1);
  size_t notes = 0;
  for (uint32_t word : key) notes += zt::MidiMessage(word).isNoteOn();
  double spent = 0, blocks = 0;
  for (auto _ : state) {
    for (uint32_t word : key) out.send(handle, word);
    for (int b = 0; b < 100; ++b) {
      const auto start = std::chrono::steady_clock::now();
      synth->render(left.data(), right.data(), 64);
      spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      ++blocks;
      const auto held = synth->heldVoices();  // a note's voices share its channel and key
      if (std::set<std::pair<int, int>>(held.begin(), held.end()).size() >= notes) break;
    }
    for (uint32_t word : key)
      if (const zt::MidiMessage m(word); m.isNoteOn())
        out.send(handle, zt::MidiMessage(zt::kNoteOff, m.data1()).word);
    // Until the release and the reverb have died away.
    for (int i = 0; i < 2000 && synth->activeVoiceCount() > 0; ++i)
      synth->render(left.data(), right.data(), 64);
  }
  state.counters["us_on_audio_thread"] = 1e6 * spent / double(state.iterations());
  state.counters["blocks"] = blocks / double(state.iterations());
}
BENCHMARK(BM_KeyThrough32RegistersOnTheAudioThread)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
