#include "platform/timer/timer_slots.h"

namespace zt {

TimerTable timerTable;

namespace {

void kill(TimerTable& table, int32_t slot) {
  std::unique_ptr<PeriodicTimer>& timer = table.timers[static_cast<size_t>(slot)];
  if (timer) timer->stop();
  timer.reset();
}

}  // namespace

int32_t StartTimer(TimerTable& table, const TimerPost& window, int32_t slot, int32_t periodMs,
                   int32_t periodic) {
  if (slot < 1 || slot >= kTimerSlotCount || !window) return 0;
  kill(table, slot);
  table.TimerSlot[static_cast<size_t>(slot)] = 0;

  auto timer = std::make_unique<PeriodicTimer>(std::chrono::milliseconds(periodMs), periodic != 0,
                                               [window, slot] { window(0, slot); });
  if (!timer->start()) return 0;
  table.timers[static_cast<size_t>(slot)] = std::move(timer);
  if (++table.lastId <= 0) table.lastId = 1;
  table.TimerSlot[static_cast<size_t>(slot)] = table.lastId;
  return table.lastId;
}

void StopTimer(TimerTable& table, int32_t slot) {
  if (slot == 0) {
    for (int32_t s = 1; s < kTimerSlotCount; ++s) kill(table, s);
    return;
  }
  if (slot < 1 || slot >= kTimerSlotCount) return;
  kill(table, slot);
  table.TimerSlot[static_cast<size_t>(slot)] = 0;
}

}  // namespace zt
