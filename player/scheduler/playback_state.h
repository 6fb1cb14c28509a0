#pragma once
// The player's playback state: the clock, the per-track schedule, the
// transport flags and the channel switches. All of it lives on the player's
// window thread; the timer thread only posts WM_PLAYER_TICK.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zt {

// Timer slots: the playback tick and the progress display. Their timers post
// WM_PLAYER_TICK with the slot as lParam.
inline constexpr int32_t kSlotPlayback = 1;
inline constexpr int32_t kSlotProgress = 3;
inline constexpr int32_t kPlaybackPeriodMs = 10;
inline constexpr int32_t kProgressPeriodMs = 100;
// PlaybackClock counts 1/60000 of a tick: a tick of division d at b BPM
// lasts 60000 / (d x b) ms, so one 10 ms timer tick adds d x b x 10.
inline constexpr int64_t kClockUnitsPerTick = 60000;

// Channel switches 0-16: switch c gates the notes of MIDI channel c (1-16),
// switch 0 every other event. Buttons 0-15 show switches 0-15.
inline constexpr int32_t kChannelSwitchCount = 17;
inline constexpr int32_t kChannelButtonCount = 16;

struct PlaybackState {
  // The song position in 1/60000 tick. Set to 0 at play start; stop and
  // pause keep it.
  int64_t PlaybackClock = 0;
  // Per track (index k - 1), per record (index i - 1): the record's tick x
  // 60000, filled at every play start. Saturates instead of overflowing on
  // ticks no real song reaches.
  std::vector<std::vector<int64_t>> EventDueTime;
  // Per track (index k - 1): the record number (from 1) of the next record to
  // send.
  std::vector<int32_t> NextEventIndex;
  // What the next tick adds besides its step: a tick in which a tempo event
  // fell ran at the old tempo past that event, and this makes up the
  // difference, so the song keeps to its tempo map across tempo changes.
  int64_t tempoCarry = 0;
  // Milliseconds since midnight when play last started.
  int32_t playStartTime = 0;

  // Flags, 0 or 1.
  int32_t loopOn = 0;
  int32_t paused = 0;
  // 0 direct ("Diretto"), 1 filtered ("Filtrato"): the wParam of every event
  // sent to the console.
  int32_t RoutingMode = 0;
  // 1 on, 0 off. Switch 16 has no button; it is on unless a solo is in force,
  // so that the notes of the sixteenth channel play.
  std::array<int32_t, kChannelSwitchCount> ChannelSwitch{1, 1, 1, 1, 1, 1, 1, 1, 1,
                                                         1, 1, 1, 1, 1, 1, 1, 1};

  // The file name to play; empty while no file is chosen, and play refuses
  // to start then.
  std::string fileName;

  // The playback tick's timer runs (playing, not paused or stopped). Ticks
  // still queued when it stopped are let through without effect.
  bool running = false;
  // The end of the song was met in this run; it is acted on once.
  bool ended = false;
};

// The player's one playback state.
extern PlaybackState playbackState;

}  // namespace zt
