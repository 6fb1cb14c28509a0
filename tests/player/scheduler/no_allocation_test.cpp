// The playback tick allocates nothing: every allocation in this program is
// counted, and a whole song's ticks must not add one.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "player/scheduler/scheduler.h"
#include "tests/support/counting_scheduler_host.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

// These replace the program's global allocation functions, so malloc and
// free are their matching pair; GCC cannot see that once it inlines them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace zt {
namespace {

TEST(SchedulerAllocation, TicksAndProgressAllocateNothing) {
  SongState song;
  song.division = 96;
  song.BPM = 120;
  song.SongEventTable.resize(16);
  for (int k = 0; k < 16; ++k)
    for (int i = 0; i < 500; ++i) {
      const int64_t kind = (i % 3 == 0) ? 0x90 + k : (i % 3 == 1 ? 0x80 + k : 0xB0 + k);
      song.SongEventTable[k].push_back(MidiEvent{kind, i % 128, 64, i * 4});
      if (i % 50 == 0)
        song.SongEventTable[k].push_back(MidiEvent{kKindTempo, 100 + i % 7, 0, i * 4});
    }
  song.SongEndTick = 499 * 4;
  PlaybackState state;
  state.fileName = "x.mid";
  test::CountingSchedulerHost host;
  Player_play(song, state, host);

  const long before = allocations.load();
  for (int t = 0; t < 5000 && state.running; ++t) {
    Player_tick(song, state, host, kSlotPlayback);
    if (t % 10 == 0) Player_tick(song, state, host, kSlotProgress);
  }
  const long during = allocations.load() - before;
  EXPECT_FALSE(state.running);  // the song played to its end
  EXPECT_EQ(host.sent, 16 * 500);
  EXPECT_GT(host.progress, 10);
  EXPECT_EQ(during, 0);
}

}  // namespace
}  // namespace zt
