#pragma once
// The player's timers by slot, as the window starts and stops them: slot 1
// is the playback tick (10 ms), slot 3 the progress display (100 ms). Every
// tick posts WM_PLAYER_TICK with the slot to the window that started the
// timer. Start and stop are called from the window thread only.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/timer/periodic_timer.h"

namespace zt {

// Posts WM_PLAYER_TICK (wParam, lParam) to the player window's queue. Called
// on a timer thread: it must be thread-safe and must not block.
using TimerPost = std::function<void(int32_t wParam, int32_t lParam)>;

inline constexpr int32_t kTimerSlotCount = 4;

struct TimerTable {
  // TimerSlot: the id of the timer started in each slot, 0 for none.
  std::array<int32_t, kTimerSlotCount> TimerSlot{};
  // The running timers, by slot.
  std::array<std::unique_ptr<PeriodicTimer>, kTimerSlotCount> timers;
  // The last id handed out.
  int32_t lastId = 0;
};

// The player's one timer table.
extern TimerTable timerTable;

// Starts a timer in slot 1-3 that posts (0, slot) through `window` every
// `periodMs` ms (once if `periodic` is 0) and records its id in the slot. A
// timer already running in that slot is stopped first, so no slot ever has
// two. Returns the new id, or 0 if the slot is not 1-3 or no timer could be
// started (the slot then holds 0).
int32_t StartTimer(TimerTable& table, const TimerPost& window, int32_t slot, int32_t periodMs,
                   int32_t periodic = 1);
// Slot 1-3: stops that slot's timer and sets the slot to 0. Slot 0: stops
// the timers of slots 1-3 and leaves their ids recorded. Once it returns the
// stopped timers post nothing more. Other slots do nothing.
void StopTimer(TimerTable& table, int32_t slot);

}  // namespace zt
