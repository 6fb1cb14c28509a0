#pragma once
// Everything the playback scheduler does outside itself. The player window
// implements this over its controls, the console link and the timers; the
// tests record the calls and drive the clock by hand.
//
// Every call comes from the player's window thread. Captions are
// Windows-1252 bytes.
#include <cstdint>
#include <string_view>

namespace zt {

class SchedulerHost {
 public:
  virtual ~SchedulerHost() = default;

  // WM_PLAYER_MIDI to the console, synchronous; the answer is not used.
  // (0, 0) is the all-notes-off request. Does nothing without a console.
  virtual void sendToConsole(int32_t wParam, int32_t lParam) = 0;

  // The data view (control 1070): value 0, this caption.
  virtual void setDataView(std::string_view caption) = 0;
  // Channel button k (0-15, control 1080 + k): the bar's value (0 on,
  // 100 off) and its caption; an empty caption keeps the one shown.
  virtual void setChannelButton(int32_t k, float value, std::string_view caption) = 0;
  // The progress display (control 1060): the bar's value (the percentage)
  // and its caption.
  virtual void setProgress(float value, std::string_view caption) = 0;
  // Shows the pause switch (control 1040) in its other state.
  virtual void flipPauseSwitch() = 0;

  // A message box with an empty title; returns when it is dismissed.
  virtual void showMessage(std::string_view text) = 0;
  // Posts the loop button's command to the player window, as if the user had
  // pressed it: it runs after the current message is handled.
  virtual void postLoopCommand() = 0;

  // Starts the periodic timer of `slot` (1 playback, 3 progress) that posts
  // WM_PLAYER_TICK with the slot every `periodMs` milliseconds, killing the
  // one that ran in that slot. Returns the timer id, 0 on failure.
  virtual int32_t startTimer(int32_t slot, int32_t periodMs) = 0;
  // Stops the timer of slot 1-3; slot 0 stops them all. Once it returns the
  // timer posts nothing more.
  virtual void stopTimer(int32_t slot) = 0;

  // Milliseconds since local midnight.
  virtual int32_t timeOfDayMs() = 0;
};

}  // namespace zt
