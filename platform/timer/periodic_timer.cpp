#include "platform/timer/periodic_timer.h"

#include <system_error>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace zt {

PeriodicTimer::PeriodicTimer(std::chrono::milliseconds period, bool periodic,
                             std::function<void()> onTick)
    : period_(period < std::chrono::milliseconds(1) ? std::chrono::milliseconds(1) : period),
      periodic_(periodic),
      onTick_(std::move(onTick)) {}

PeriodicTimer::~PeriodicTimer() { stop(); }

bool PeriodicTimer::start() {
  if (thread_.joinable()) return true;
  // The deadlines count from now, not from whenever the thread gets going.
  const Clock::time_point start = Clock::now();
  try {
    thread_ = std::thread(&PeriodicTimer::run, this, start);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void PeriodicTimer::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void PeriodicTimer::run(Clock::time_point start) {
#ifdef __linux__
  // Wake as close to the deadline as the kernel can: the default slack of
  // 50 us is small, but there is no reason to spend it.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
  TickSchedule schedule(start, period_);
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    const Clock::time_point deadline = schedule.next();
    if (wake_.wait_until(lock, deadline, [this] { return stop_; })) break;
    int64_t ticks = schedule.take(Clock::now());
    // A one-shot timer woken late still fires once.
    if (!periodic_ && ticks > 1) ticks = 1;
    // The function runs without the lock, so that Stop never waits for a
    // tick longer than the tick takes.
    lock.unlock();
    for (int64_t i = 0; i < ticks; ++i) onTick_();
    lock.lock();
    if (!periodic_ && ticks > 0) break;
  }
}

}  // namespace zt
