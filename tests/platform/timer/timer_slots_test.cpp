// The player's timer slots on real threads: ticks arrive with their slot,
// stopping really stops, and a slot started again runs one timer. No test
// here depends on how punctual the machine is; it only waits, with a
// generous bound, for ticks that must come.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/timer/timer_slots.h"

namespace zt {
namespace {

using namespace std::chrono_literals;

// A window queue: records what the timers post.
class PostedTicks {
 public:
  TimerPost Post() {
    return [this](int32_t wParam, int32_t lParam) {
      std::lock_guard<std::mutex> lock(mutex_);
      posted_.push_back({wParam, lParam});
      changed_.notify_all();
    };
  }
  // Waits (at most a minute) until `count` ticks of `slot` have come.
  bool WaitFor(int32_t slot, size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, 60s, [&] { return CountLocked(slot) >= count; });
  }
  size_t Count(int32_t slot) {
    std::lock_guard<std::mutex> lock(mutex_);
    return CountLocked(slot);
  }
  std::vector<std::pair<int32_t, int32_t>> All() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posted_;
  }

 private:
  size_t CountLocked(int32_t slot) const {
    size_t n = 0;
    for (const auto& p : posted_) n += p.second == slot;
    return n;
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::pair<int32_t, int32_t>> posted_;
};

TEST(TimerSlots, TicksArriveWithTheirSlotAndStopReallyStops) {
  TimerTable table;
  PostedTicks ticks;
  const int32_t id1 = StartTimer(table, ticks.Post(), 1, 10);
  const int32_t id3 = StartTimer(table, ticks.Post(), 3, 20);
  ASSERT_NE(id1, 0);
  ASSERT_NE(id3, 0);
  EXPECT_NE(id1, id3);
  EXPECT_EQ(table.TimerSlot[1], id1);
  EXPECT_EQ(table.TimerSlot[3], id3);
  ASSERT_TRUE(ticks.WaitFor(1, 5));
  ASSERT_TRUE(ticks.WaitFor(3, 3));
  for (const auto& [wParam, lParam] : ticks.All()) {
    EXPECT_EQ(wParam, 0);
    EXPECT_TRUE(lParam == 1 || lParam == 3);
  }

  StopTimer(table, 1);
  EXPECT_EQ(table.TimerSlot[1], 0);
  const size_t stoppedAt = ticks.Count(1);
  // Slot 3 goes on; slot 1 has posted its last.
  const size_t slot3 = ticks.Count(3);
  ASSERT_TRUE(ticks.WaitFor(3, slot3 + 3));
  EXPECT_EQ(ticks.Count(1), stoppedAt);

  StopTimer(table, 3);
  const size_t slot3Stopped = ticks.Count(3);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(ticks.Count(3), slot3Stopped);
}

TEST(TimerSlots, RestartingASlotKillsTheOldTimerFirst) {
  TimerTable table;
  PostedTicks ticks;
  const int32_t first = StartTimer(table, ticks.Post(), 1, 10);
  ASSERT_TRUE(ticks.WaitFor(1, 2));
  const int32_t second = StartTimer(table, ticks.Post(), 1, 60000);
  ASSERT_NE(second, 0);
  EXPECT_NE(second, first);
  EXPECT_EQ(table.TimerSlot[1], second);
  // Only the new timer, with its minute's period, runs in the slot now: the
  // old one's 10 ms ticks have stopped.
  const size_t atRestart = ticks.Count(1);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(ticks.Count(1), atRestart);
  StopTimer(table, 1);
}

TEST(TimerSlots, SlotZeroStopsEveryTimerButKeepsTheIds) {
  TimerTable table;
  PostedTicks ticks;
  const int32_t id1 = StartTimer(table, ticks.Post(), 1, 10);
  const int32_t id2 = StartTimer(table, ticks.Post(), 2, 10);
  const int32_t id3 = StartTimer(table, ticks.Post(), 3, 10);
  ASSERT_TRUE(ticks.WaitFor(2, 1));
  StopTimer(table, 0);
  EXPECT_EQ(table.TimerSlot, (std::array<int32_t, 4>{0, id1, id2, id3}));
  const size_t total = ticks.All().size();
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(ticks.All().size(), total);
  for (const auto& timer : table.timers) EXPECT_EQ(timer, nullptr);
}

TEST(TimerSlots, OnlySlotsOneToThreeTakeATimer) {
  TimerTable table;
  PostedTicks ticks;
  EXPECT_EQ(StartTimer(table, ticks.Post(), 0, 10), 0);
  EXPECT_EQ(StartTimer(table, ticks.Post(), 4, 10), 0);
  EXPECT_EQ(StartTimer(table, ticks.Post(), -1, 10), 0);
  EXPECT_EQ(StartTimer(table, TimerPost(), 1, 10), 0);
  StopTimer(table, 7);
  StopTimer(table, -2);
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(ticks.All().empty());
  EXPECT_EQ(table.TimerSlot, (std::array<int32_t, 4>{}));
}

TEST(TimerSlots, AOneShotTimerPostsOnce) {
  TimerTable table;
  PostedTicks ticks;
  ASSERT_NE(StartTimer(table, ticks.Post(), 2, 10, 0), 0);
  ASSERT_TRUE(ticks.WaitFor(2, 1));
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(ticks.Count(2), 1u);
  StopTimer(table, 2);
}

TEST(TimerSlots, StoppingWhileTicksArePostedIsClean) {
  // Start and stop in quick succession while the threads post: under
  // ThreadSanitizer this shows any race between the window and timer threads.
  TimerTable table;
  std::atomic<int> posted{0};
  const TimerPost post = [&posted](int32_t, int32_t) {
    posted.fetch_add(1, std::memory_order_relaxed);
  };
  for (int round = 0; round < 50; ++round) {
    StartTimer(table, post, 1 + round % 3, 1);
    std::this_thread::sleep_for(2ms);
    if (round % 7 == 0) StopTimer(table, 0);
  }
  StopTimer(table, 0);
  const int total = posted.load();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(posted.load(), total);
}

}  // namespace
}  // namespace zt
