#include "platform/timer/tick_schedule.h"

namespace zt {

int64_t TickSchedule::take(Clock::time_point now) {
  if (now < next()) return 0;
  // Ticks whose deadline is at or before now.
  const int64_t due = (now - start_) / period_;
  const int64_t pending = due - served_;
  served_ = due;
  if (pending > kMaxCatchUp) {
    skipped_ += pending - kMaxCatchUp;
    return kMaxCatchUp;
  }
  return pending;
}

}  // namespace zt
