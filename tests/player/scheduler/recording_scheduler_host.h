#pragma once
// A scheduler host that records every call and plays the timers by hand:
// RunTicks() delivers WM_PLAYER_TICK for each running slot as a periodic
// timer would, counting the playback ticks, and carries out posted loop
// commands the way the window's message queue would.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "player/reader/song_state.h"
#include "player/scheduler/scheduler.h"

namespace zt::test {

struct Sent {
  int32_t wParam;
  int32_t lParam;
  // The playback tick on which it left (0 before the first).
  int64_t tick;
  bool operator==(const Sent&) const = default;
};

struct ButtonSet {
  int32_t k;
  float value;
  std::string caption;
  bool operator==(const ButtonSet&) const = default;
};

class RecordingSchedulerHost : public SchedulerHost {
 public:
  void sendToConsole(int32_t wParam, int32_t lParam) override {
    sent.push_back({wParam, lParam, tick});
  }
  void setDataView(std::string_view caption) override { dataView.emplace_back(caption); }
  void setChannelButton(int32_t k, float value, std::string_view caption) override {
    buttons.push_back({k, value, std::string(caption)});
  }
  void setProgress(float value, std::string_view caption) override {
    progressValue = value;
    progress.emplace_back(caption);
  }
  void flipPauseSwitch() override { ++pauseFlips; }
  void showMessage(std::string_view text) override { messages.emplace_back(text); }
  void postLoopCommand() override { ++loopPosts; }
  int32_t startTimer(int32_t slot, int32_t periodMs) override {
    if (failTimers) return 0;
    timers[slot] = periodMs;
    ++timerStarts;
    return ++lastTimerId;
  }
  void stopTimer(int32_t slot) override {
    if (slot == 0)
      timers.clear();
    else
      timers.erase(slot);
  }
  int32_t timeOfDayMs() override { return timeOfDay; }

  bool Running(int32_t slot) const { return timers.count(slot) != 0; }

  // Runs `count` 10 ms periods: the playback tick while slot 1 runs, the
  // progress display every tenth period while slot 3 runs, and any posted
  // loop command after the tick that posted it. The time of day follows.
  void RunTicks(SongState& song, PlaybackState& state, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
      timeOfDay += 10;
      ++period;
      if (Running(kSlotPlayback)) {
        ++tick;
        Player_tick(song, state, *this, kSlotPlayback);
      }
      if (period % 10 == 0 && Running(kSlotProgress))
        Player_tick(song, state, *this, kSlotProgress);
      while (loopPosts > loopsRun) {
        ++loopsRun;
        tick = 0;
        Player_loop(song, state, *this);
      }
    }
  }

  // The events (not the all-notes-off requests) sent so far.
  std::vector<Sent> Events() const {
    std::vector<Sent> events;
    for (const Sent& s : sent)
      if (s.lParam != 0) events.push_back(s);
    return events;
  }
  int NotesOffCount() const {
    int n = 0;
    for (const Sent& s : sent) n += s.wParam == 0 && s.lParam == 0;
    return n;
  }

  std::vector<Sent> sent;
  std::vector<std::string> dataView;
  std::vector<ButtonSet> buttons;
  std::vector<std::string> progress;
  float progressValue = -1;
  std::vector<std::string> messages;
  int pauseFlips = 0;
  int loopPosts = 0;
  int loopsRun = 0;
  std::map<int32_t, int32_t> timers;  // slot -> period
  int timerStarts = 0;
  int32_t lastTimerId = 0;
  bool failTimers = false;
  int32_t timeOfDay = 12 * 3600 * 1000;
  int64_t tick = 0;
  int64_t period = 0;
};

}  // namespace zt::test
