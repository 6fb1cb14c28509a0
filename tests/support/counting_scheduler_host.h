#pragma once
// A scheduler host that takes every call and keeps only counts: the
// messages sent to the console (all notes off left out) and the progress
// updates. Its clock advances 10 ms each time it is read. It allocates
// nothing, so allocation and timing measurements see only the scheduler.
#include <cstdint>
#include <string_view>

#include "player/scheduler/scheduler.h"

namespace zt::test {

class CountingSchedulerHost : public SchedulerHost {
 public:
  void sendToConsole(int32_t, int32_t lParam) override { sent += lParam != 0; }
  void setDataView(std::string_view) override {}
  void setChannelButton(int32_t, float, std::string_view) override {}
  void setProgress(float, std::string_view) override { ++progress; }
  void flipPauseSwitch() override {}
  void showMessage(std::string_view) override {}
  void postLoopCommand() override {}
  int32_t startTimer(int32_t, int32_t) override { return 1; }
  void stopTimer(int32_t) override {}
  int32_t timeOfDayMs() override { return now += 10; }

  int64_t sent = 0;
  int64_t progress = 0;
  int32_t now = 0;
};

}  // namespace zt::test
