#pragma once
// A periodic timer on a thread of its own: it calls its function at every
// deadline of a TickSchedule on the steady clock. The function runs on the
// timer's thread and must not block (the player's only posts a message).
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/timer/tick_schedule.h"

namespace zt {

class PeriodicTimer {
 public:
  using Clock = TickSchedule::Clock;

  // `periodic` false fires once, one period after the start.
  PeriodicTimer(std::chrono::milliseconds period, bool periodic, std::function<void()> onTick);
  // Stops the timer.
  ~PeriodicTimer();
  PeriodicTimer(const PeriodicTimer&) = delete;
  PeriodicTimer& operator=(const PeriodicTimer&) = delete;

  // Starts the thread; the first tick is due one period from now. Returns
  // false if no thread could be started.
  bool start();
  // Wakes the thread and joins it. Once this returns the function is not
  // running and is never called again. Safe to call twice.
  void stop();

 private:
  void run(Clock::time_point start);

  const std::chrono::milliseconds period_;
  const bool periodic_;
  const std::function<void()> onTick_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace zt
