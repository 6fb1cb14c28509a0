// The cost of one playback tick when all 16 tracks have an event due at
// once, the console link left out (the host only counts).
#include <benchmark/benchmark.h>

#include "player/scheduler/scheduler.h"
#include "tests/support/counting_scheduler_host.h"

namespace zt {
namespace {

// 16 tracks, one event per track on every timer tick: at division 100 and
// 60 BPM a timer tick is exactly one MIDI tick.
SongState SixteenTrackSong(int64_t events) {
  SongState song;
  song.division = 100;
  song.BPM = 60;
  song.SongEventTable.resize(16);
  for (int k = 0; k < 16; ++k) {
    song.SongEventTable[k].reserve(static_cast<size_t>(events));
    for (int64_t i = 1; i <= events; ++i)
      song.SongEventTable[k].push_back(MidiEvent{(i % 2 ? 0x90 : 0x80) + k, 36 + i % 60, 100, i});
  }
  song.SongEndTick = events;
  return song;
}

void BM_TickSixteenTracksDue(benchmark::State& bench) {
  SongState song = SixteenTrackSong(100000);
  PlaybackState state;
  state.fileName = "bench.mid";
  test::CountingSchedulerHost host;
  Player_play(song, state, host);
  for (auto _ : bench) {
    if (!state.running) {
      bench.PauseTiming();
      Player_play(song, state, host);
      bench.ResumeTiming();
    }
    Playback_tick(song, state, host);
  }
  bench.counters["events/tick"] =
      benchmark::Counter(static_cast<double>(host.sent) / bench.iterations());
}
BENCHMARK(BM_TickSixteenTracksDue);

void BM_TickNothingDue(benchmark::State& bench) {
  SongState song = SixteenTrackSong(10);
  for (auto& track : song.SongEventTable)
    for (auto& e : track) e.tick *= 1000000;
  song.SongEndTick *= 1000000;
  PlaybackState state;
  state.fileName = "bench.mid";
  test::CountingSchedulerHost host;
  Player_play(song, state, host);
  for (auto _ : bench) Playback_tick(song, state, host);
}
BENCHMARK(BM_TickNothingDue);

void BM_UpdateProgress(benchmark::State& bench) {
  SongState song = SixteenTrackSong(10);
  PlaybackState state;
  test::CountingSchedulerHost host;
  for (auto _ : bench) UpdateProgress(song, state, host);
}
BENCHMARK(BM_UpdateProgress);

}  // namespace
}  // namespace zt

BENCHMARK_MAIN();
