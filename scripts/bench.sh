#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all, printing their figures.
# The figures depend on the machine and its load: run on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --tests
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZT_BENCH=ON
cmake --build build-bench -j "$(nproc)" --target bench_engine_key bench_jack_latency bench_midi_load bench_scheduler_tick bench_controls bench_synth_audio bench_link_round_trip timing_harness bench_report_startup

echo "== key through all 32 registers (memory backend)"
build-bench/bench/engine/bench_engine_key --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
echo "== end to end over JACK, and the worst chord's burst"
build-bench/bench/platform/bench_jack_latency
echo "== MIDI file load"
build-bench/bench/player/bench_midi_load
echo "== player tick, 16 tracks due at once"
build-bench/bench/player/bench_scheduler_tick --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
echo "== the synthesiser's audio probe (this machine's sound)"
env -u ZT_AUDIO_DRIVER build-bench/bench/platform/bench_synth_audio
echo "== link round trip per event, to a console process"
build-bench/bench/link/bench_link_round_trip --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
echo "== playback through the whole console: a three-minute song (ZT_TIMING_SECONDS), 1920 and 5000 events a second"
build-bench/bench/player/timing_harness song "${ZT_TIMING_SECONDS:-180}" rate 1920 24 rate 5000 20
echo "== start-up and preset switches with soundfont reports of every size"
QT_QPA_PLATFORM=offscreen build-bench/bench/console/bench_report_startup
echo "== control updates"
QT_QPA_PLATFORM=offscreen build-bench/bench/controls/bench_controls
