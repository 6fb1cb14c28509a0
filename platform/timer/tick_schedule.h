#pragma once
// The deadlines of a periodic timer: the n-th tick is due at start + n x
// period, whatever time the earlier ticks were served at, so lateness never
// adds up into drift.
#include <chrono>
#include <cstdint>

namespace zt {

class TickSchedule {
 public:
  using Clock = std::chrono::steady_clock;

  // A thread woken later than this many periods serves only this many of the
  // ticks it missed and skips the rest (after a suspend, say), instead of
  // posting a flood; the later deadlines stay on the same grid.
  static constexpr int64_t kMaxCatchUp = 10;

  TickSchedule(Clock::time_point start, Clock::duration period) : start_(start), period_(period) {}

  // The deadline of tick n (n from 1).
  Clock::time_point deadline(int64_t n) const { return start_ + period_ * n; }
  // The deadline of the first tick not yet served.
  Clock::time_point next() const { return deadline(served_ + 1); }

  // At `now`: the number of ticks to post, that is the ticks whose deadline
  // has passed and that were not served yet, at most kMaxCatchUp. All of them
  // count as served afterwards; the ones beyond kMaxCatchUp as skipped.
  int64_t take(Clock::time_point now);

  int64_t served() const { return served_; }
  int64_t skipped() const { return skipped_; }

 private:
  Clock::time_point start_;
  Clock::duration period_;
  int64_t served_ = 0;
  int64_t skipped_ = 0;
};

}  // namespace zt
