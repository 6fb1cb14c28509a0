// Time and heap allocations of one key through all 32 registers, each with
// a multi-note interval (129 messages: 32 x program, pan, note, added note,
// plus the key itself), on the MIDI input path to the memory backend.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

#include "console/engine/engine.h"
#include "platform/midi/memory_midi.h"

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

struct Console {
  std::shared_ptr<MemoryMidiOutDriver> driver =
      std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"memory"}, 1 << 16);
  MidiOut out;
  MidiIn in;
  std::atomic<bool> stop{false};
  std::thread window;  // drains the display queue as the window thread would

  Console() {
    State_reset();
    Display_reset();
    out.addDriver(driver);
    Engine_attach(out, in);
    Midi_openout(0);
    for (int r = 1; r <= kRegisters; ++r) {
      Reg_setname(r, Text_trim(r + 15) + " Stop");
      consoleState.regOn[r] = 1;
      consoleState.regVolume[r] = 200;
      consoleState.regPan[r] = r % 3 - 1;
      consoleState.regShift[r] = r % 5 - 2;
      consoleState.regMulti[r] = 1 + r % 12;
    }
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
    Midi_closeout();
  }
};

void BM_KeyThroughAllRegisters(benchmark::State& state) {
  enginePlatform.closeWaitMs = 0;
  Console console;
  long keys = 0;
  long before = 0;
  uint32_t stamp = 0;
  for (auto _ : state) {
    if (keys == 0) {
      before = allocations.load();
      countThisThread = true;
    }
    int note = 36 + keys % 48;
    Midi_inproc(1, MIM_DATA, 0, 0x90 + 256 * note + 65536 * 100, ++stamp);
    Midi_inproc(1, MIM_DATA, 0, 0x80 + 256 * note, ++stamp);
    ++keys;
    if (console.driver->sendCount() > 60000) {
      state.PauseTiming();
      console.driver->clear();
      state.ResumeTiming();
    }
  }
  countThisThread = false;
  long allocs = allocations.load() - before;
  // One iteration is a press (129 messages) and its release (65).
  state.counters["ns_per_press_and_release"] =
      benchmark::Counter(static_cast<double>(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["ns_per_message"] =
      benchmark::Counter(static_cast<double>(keys) * 194, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_key"] = keys ? static_cast<double>(allocs) / keys : 0;
  state.counters["display_dropped"] = static_cast<double>(Display_dropped());
}
BENCHMARK(BM_KeyThroughAllRegisters)->Unit(benchmark::kMicrosecond);

void BM_PressOnly(benchmark::State& state) {
  enginePlatform.closeWaitMs = 0;
  Console console;
  long keys = 0;
  uint32_t stamp = 0;
  long before = allocations.load();
  countThisThread = true;
  for (auto _ : state) {
    int note = 36 + keys % 48;
    Midi_inproc(1, MIM_DATA, 0, 0x90 + 256 * note + 65536 * 100, ++stamp);
    ++keys;
    if (console.driver->sendCount() > 60000) {
      state.PauseTiming();
      console.driver->clear();
      state.ResumeTiming();
    }
  }
  countThisThread = false;
  state.counters["messages_per_key"] = 129;
  state.counters["ns_per_message"] =
      benchmark::Counter(static_cast<double>(keys) * 129, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_key"] = keys ? static_cast<double>(allocations.load() - before) / keys : 0;
}
BENCHMARK(BM_PressOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
