// Time and heap allocations of one key through all 32 registers, each with
// a multi-note interval (129 messages: 32 x program, pan, note, added note,
// plus the key itself), on the MIDI input path to the memory backend.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

#include "tests/support/engine_setup.h"

namespace {

thread_local bool countThisThread = false;
std::atomic<long> allocations{0};

}  // namespace

// Counts the heap allocations made on the measuring thread.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  if (countThisThread) allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

using namespace zt;

// All 32 registers drawn, the output on the memory backend and a thread
// that drains the display queue as the window thread would.
struct Console {
  test::EngineDevices devices;
  std::atomic<bool> stop{false};
  std::thread window;
  uint32_t stamp = 0;

  Console() {
    test::Engine_memorysetup(devices, {"memory"}, {}, 1 << 16);
    enginePlatform.closeWaitMs = 0;
    Midi_openout(0);
    for (int r = 1; r <= kRegisters; ++r)
      test::Register_draw(r, Text_trim(r + 15) + " Stop", 200, r % 3 - 1, r % 5 - 2, 1 + r % 12);
    window = std::thread([this] {
      while (!stop.load()) {
        Display_drain();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    });
  }
  ~Console() {
    stop = true;
    window.join();
    test::Engine_teardown(devices, true);
  }

  void key(int note, bool press) {
    Midi_inproc(1, MIM_DATA, 0, test::Midi_word(press ? 0x90 : 0x80, note, press ? 100 : 0),
                ++stamp);
  }
  // Empties the output's log outside the timing before it fills.
  void keepRoom(benchmark::State& state) {
    if (devices.outDriver->sendCount() > 60000) {
      state.PauseTiming();
      devices.outDriver->clear();
      state.ResumeTiming();
    }
  }
};

void BM_KeyThroughAllRegisters(benchmark::State& state) {
  Console console;
  long keys = 0;
  long before = 0;
  for (auto _ : state) {
    if (keys == 0) {
      before = allocations.load();
      countThisThread = true;
    }
    int note = 36 + keys % 48;
    console.key(note, true);
    console.key(note, false);
    ++keys;
    console.keepRoom(state);
  }
  countThisThread = false;
  long allocs = allocations.load() - before;
  // One iteration is a press (129 messages) and its release (65).
  state.counters["ns_per_press_and_release"] = benchmark::Counter(
      static_cast<double>(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["ns_per_message"] = benchmark::Counter(
      static_cast<double>(keys) * 194, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_key"] = keys ? static_cast<double>(allocs) / keys : 0;
  state.counters["display_dropped"] = static_cast<double>(Display_dropped());
}
BENCHMARK(BM_KeyThroughAllRegisters)->Unit(benchmark::kMicrosecond);

void BM_PressOnly(benchmark::State& state) {
  Console console;
  long keys = 0;
  long before = allocations.load();
  countThisThread = true;
  for (auto _ : state) {
    console.key(36 + keys % 48, true);
    ++keys;
    console.keepRoom(state);
  }
  countThisThread = false;
  state.counters["messages_per_key"] = 129;
  state.counters["ns_per_message"] = benchmark::Counter(
      static_cast<double>(keys) * 129, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_key"] =
      keys ? static_cast<double>(allocations.load() - before) / keys : 0;
}
BENCHMARK(BM_PressOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
