// The deadline arithmetic of the periodic timer, on made-up times: late
// service never moves a later deadline.
#include <gtest/gtest.h>

#include "platform/timer/tick_schedule.h"

namespace zt {
namespace {

using Clock = TickSchedule::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

const Clock::time_point kStart = Clock::time_point(std::chrono::hours(1000));

TEST(TickSchedule, TheNthTickIsDueAtStartPlusNPeriods) {
  TickSchedule schedule(kStart, milliseconds(10));
  EXPECT_EQ(schedule.next(), kStart + milliseconds(10));
  EXPECT_EQ(schedule.deadline(100000), kStart + milliseconds(1000000));
  // Nothing is due before the deadline, one tick at it.
  EXPECT_EQ(schedule.take(kStart + microseconds(9999)), 0);
  EXPECT_EQ(schedule.take(kStart + milliseconds(10)), 1);
  EXPECT_EQ(schedule.next(), kStart + milliseconds(20));
}

TEST(TickSchedule, ALateTickDoesNotShiftTheLaterOnes) {
  TickSchedule schedule(kStart, milliseconds(10));
  // Served 7 ms late every time: the next deadline stays on the grid.
  for (int n = 1; n <= 1000; ++n) {
    ASSERT_EQ(schedule.next(), kStart + milliseconds(10 * n));
    ASSERT_EQ(schedule.take(schedule.next() + milliseconds(7)), 1);
  }
  EXPECT_EQ(schedule.served(), 1000);
  EXPECT_EQ(schedule.next(), kStart + milliseconds(10010));
}

TEST(TickSchedule, MissedTicksAreServedOnWaking) {
  TickSchedule schedule(kStart, milliseconds(10));
  EXPECT_EQ(schedule.take(kStart + milliseconds(35)), 3);
  EXPECT_EQ(schedule.next(), kStart + milliseconds(40));
  EXPECT_EQ(schedule.take(kStart + milliseconds(40)), 1);
  EXPECT_EQ(schedule.skipped(), 0);
}

TEST(TickSchedule, ALongSleepSkipsBeyondTheCatchUpLimit) {
  TickSchedule schedule(kStart, milliseconds(10));
  EXPECT_EQ(schedule.take(kStart + std::chrono::seconds(60)), TickSchedule::kMaxCatchUp);
  EXPECT_EQ(schedule.skipped(), 6000 - TickSchedule::kMaxCatchUp);
  // Still on the grid afterwards.
  EXPECT_EQ(schedule.next(), kStart + std::chrono::seconds(60) + milliseconds(10));
}

}  // namespace
}  // namespace zt
