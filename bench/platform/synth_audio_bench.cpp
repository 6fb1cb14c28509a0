// How long the embedded synthesiser takes to find its audio: every console
// start pays it once. On a machine without sound every driver must fail
// fast (no server started, no time-out waited for).
#include <benchmark/benchmark.h>
#include <fluidsynth.h>

#include <cstring>

#include "platform/midi/synth_audio.h"

namespace {

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

}  // namespace

BENCHMARK_MAIN();
