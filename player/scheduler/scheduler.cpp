#include "player/scheduler/scheduler.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/midi_message.h"
#include "player/reader/song_state.h"
#include "player/scheduler/mask_format.h"

namespace zt {

PlaybackState playbackState;

namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int32_t kMsPerDay = 24 * 60 * 60 * 1000;

// tick x 60000, held at the largest value instead of overflowing: a hostile
// file's ticks may reach 2^63 / 60000, no real song does.
int64_t dueTime(int64_t tick) {
  if (tick <= 0) return 0;
  if (tick > kInt64Max / kClockUnitsPerTick) return kInt64Max;
  return tick * kClockUnitsPerTick;
}

int64_t saturatingAdd(int64_t a, int64_t b) { return a > kInt64Max - b ? kInt64Max : a + b; }

// Records of track k (1-based) that the schedule covers: both tables may be
// out of step only if a song was loaded without a reset, and then nothing
// past the shorter one is read.
int64_t scheduledCount(const SongState& song, const PlaybackState& state, size_t trackIndex) {
  return static_cast<int64_t>(
      std::min(song.SongEventTable[trackIndex].size(), state.EventDueTime[trackIndex].size()));
}

size_t scheduledTracks(const SongState& song, const PlaybackState& state) {
  return std::min(
      {song.SongEventTable.size(), state.EventDueTime.size(), state.NextEventIndex.size()});
}

void startTimers(PlaybackState& state, SchedulerHost& host) {
  const int32_t tick = host.startTimer(kSlotPlayback, kPlaybackPeriodMs);
  if (tick == 0) host.showMessage(kMsgTimerStart);
  if (host.startTimer(kSlotProgress, kProgressPeriodMs) == 0) host.showMessage(kMsgTimerStart);
  state.running = tick != 0;
}

void stopTimers(PlaybackState& state, SchedulerHost& host) {
  host.stopTimer(kSlotPlayback);
  host.stopTimer(kSlotProgress);
  state.running = false;
}

void unpauseSwitch(PlaybackState& state, SchedulerHost& host) {
  if (state.paused == 0) return;
  host.flipPauseSwitch();
  state.paused = 0;
}

// The end of the song: the display shows it, the timers stop and, with loop
// on, the loop command is posted as if the user had pressed it. A song of no
// length is not looped: it would restart without pause for ever.
void checkEndOfSong(SongState& song, PlaybackState& state, SchedulerHost& host) {
  if (!state.running) return;
  if (state.PlaybackClock < dueTime(song.SongEndTick)) return;
  UpdateProgress(song, state, host);
  stopTimers(state, host);
  if (state.loopOn != 0 && song.SongEndTick > 0) host.postLoopCommand();
}

void showChannelButtons(const PlaybackState& state, SchedulerHost& host) {
  for (int32_t k = 0; k < kChannelButtonCount; ++k)
    host.setChannelButton(k, static_cast<float>((1 - state.ChannelSwitch[k]) * 100), {});
}

}  // namespace

void Player_play(SongState& song, PlaybackState& state, SchedulerHost& host) {
  if (state.fileName.empty()) {
    host.showMessage(kMsgNoMidifile);
    return;
  }
  host.sendToConsole(0, 0);
  unpauseSwitch(state, host);
  state.PlaybackClock = 0;
  state.tempoCarry = 0;
  startTimers(state, host);

  // The schedule, multiplied out once so that the tick only compares.
  const size_t tracks = song.SongEventTable.size();
  state.EventDueTime.resize(tracks);
  state.NextEventIndex.assign(tracks, 1);
  for (size_t k = 0; k < tracks; ++k) {
    const EventList& events = song.SongEventTable[k];
    std::vector<int64_t>& due = state.EventDueTime[k];
    due.resize(events.size());
    for (size_t i = 0; i < events.size(); ++i) due[i] = dueTime(events[i].tick);
  }
  state.playStartTime = host.timeOfDayMs();

  // Events at tick 0 go at once, before the first timer tick.
  for (size_t k = 0; k < tracks; ++k) {
    const int32_t track = static_cast<int32_t>(k + 1);
    while (state.NextEventIndex[k] <= scheduledCount(song, state, k) &&
           state.EventDueTime[k][state.NextEventIndex[k] - 1] == 0) {
      SendDueEvent(song, state, host, track);
      ++state.NextEventIndex[k];
    }
  }
}

void Player_loop(SongState& song, PlaybackState& state, SchedulerHost& host) {
  if (!state.fileName.empty()) state.loopOn = 1;
  Player_play(song, state, host);
}

void Player_pause(SongState& song, PlaybackState& state, SchedulerHost& host) {
  (void)song;
  state.paused = (state.paused + 1) % 2;
  host.flipPauseSwitch();
  if (state.paused != 0) {
    stopTimers(state, host);
    host.sendToConsole(0, 0);
  } else {
    startTimers(state, host);
  }
}

void Player_stop(PlaybackState& state, SchedulerHost& host) {
  state.loopOn = 0;
  unpauseSwitch(state, host);
  stopTimers(state, host);
  host.sendToConsole(0, 0);
}

void Player_close(PlaybackState& state, SchedulerHost& host) {
  host.stopTimer(0);
  state.running = false;
  host.sendToConsole(0, 0);
}

void Playback_reset(PlaybackState& state, SchedulerHost& host) {
  stopTimers(state, host);
  state.PlaybackClock = 0;
  state.tempoCarry = 0;
  state.EventDueTime.clear();
  state.NextEventIndex.clear();
  state.playStartTime = 0;
}

void Player_tick(SongState& song, PlaybackState& state, SchedulerHost& host, int32_t slot) {
  if (slot == kSlotPlayback)
    Playback_tick(song, state, host);
  else if (slot == kSlotProgress)
    UpdateProgress(song, state, host);
}

void Playback_tick(SongState& song, PlaybackState& state, SchedulerHost& host) {
  // A tick posted just before its timer stopped can still be queued: playback
  // has stopped or paused since, and the clock must stay where it is.
  if (!state.running) return;
  const int64_t step = int64_t{song.division} * song.BPM * kPlaybackPeriodMs + state.tempoCarry;
  state.tempoCarry = 0;
  if (step > 0)
    state.PlaybackClock = saturatingAdd(state.PlaybackClock, step);
  else
    state.PlaybackClock = std::max<int64_t>(0, state.PlaybackClock + step);

  const size_t tracks = scheduledTracks(song, state);
  for (size_t k = 0; k < tracks; ++k) {
    const int64_t count = scheduledCount(song, state, k);
    const int64_t* due = state.EventDueTime[k].data();
    int32_t& next = state.NextEventIndex[k];
    while (next <= count && due[next - 1] <= state.PlaybackClock) {
      SendDueEvent(song, state, host, static_cast<int32_t>(k + 1));
      ++next;
    }
  }
  // Also when the last event lies before the song's end (a track's end may
  // come after its last event), so that every song ends and loops.
  checkEndOfSong(song, state, host);
}

void SendDueEvent(SongState& song, PlaybackState& state, SchedulerHost& host, int32_t track) {
  if (track < 1 || static_cast<size_t>(track) > scheduledTracks(song, state)) return;
  const size_t k = static_cast<size_t>(track - 1);
  const int32_t index = state.NextEventIndex[k];
  if (index < 1 || index > scheduledCount(song, state, k)) return;
  const MidiEvent& event = song.SongEventTable[k][static_cast<size_t>(index - 1)];

  const int64_t kind = event.kind;
  int32_t channel = 0;
  bool output = false;
  // The channel button's new caption; empty keeps the one shown.
  FixedText<8> buttonCaption;
  if (kind >= kNoteOn && kind <= kNoteOn + 15) {
    channel = static_cast<int32_t>(kind - kNoteOn + 1);
    buttonCaption.addTrim(channel);
    output = true;
  } else if (kind >= kNoteOff && kind <= kNoteOff + 15) {
    channel = static_cast<int32_t>(kind - kNoteOff + 1);
    buttonCaption.add(" ");
    output = true;
  } else if (kind == kKindTempo) {
    // The reader stores 4 to 60 000 000; a tempo below 1 would stop the
    // clock for good.
    const int32_t before = song.BPM;
    song.BPM = static_cast<int32_t>(
        std::clamp<int64_t>(event.first, 1, std::numeric_limits<int32_t>::max()));
    // This tick ran at the old tempo past the tempo event; the next tick
    // makes up the difference, so tempo changes do not add up into drift.
    const int64_t past =
        state.PlaybackClock - state.EventDueTime[k][static_cast<size_t>(index - 1)];
    if (past > 0 && before > 0) {
      // Held within 2^61 either way so that no sum with it overflows; no
      // real song comes near.
      constexpr double kCarryLimit = 2305843009213693952.0;
      const double carry =
          static_cast<double>(state.tempoCarry) +
          static_cast<double>(past) * (static_cast<double>(song.BPM) - before) / before;
      state.tempoCarry =
          static_cast<int64_t>(std::clamp(std::round(carry), -kCarryLimit, kCarryLimit));
    }
  } else if ((kind >= kKeyPressure && kind < kSystem) || (kind >= 1 && kind <= 6)) {
    output = true;
  }

  if (output) {
    FixedText<96> view;
    view.add("MIDI OUT Canale:")
        .addStr(channel)
        .add(" ")
        .addStr(kind)
        .addStr(event.first)
        .addStr(event.second);
    view.add(" ").addStr(state.RoutingMode);
    host.setDataView(view.view());

    const int32_t on = state.ChannelSwitch[static_cast<size_t>(channel)];
    // Switch 16 has no button to show it on.
    if (channel < kChannelButtonCount)
      host.setChannelButton(channel, static_cast<float>((1 - on) * 100), buttonCaption.view());
    // Only MIDI goes to the console. Texts are shown but not sent: the
    // console would pass them to the synthesiser as stray data bytes. So is a
    // damaged message whose data bytes are not data bytes (the reader takes
    // whatever follows a status byte).
    const bool midi = kind >= kNoteOff && event.first >= 0 && event.first < 0x80 &&
                      event.second >= 0 && event.second < 0x80;
    if (on != 0 && midi) {
      const MidiMessage message(static_cast<int>(kind), static_cast<int>(event.first),
                                static_cast<int>(event.second));
      host.sendToConsole(state.RoutingMode, static_cast<int32_t>(message.word));
    }
  }
  checkEndOfSong(song, state, host);
}

void UpdateProgress(const SongState& song, const PlaybackState& state, SchedulerHost& host) {
  // Time of day wraps at midnight; elapsed time does not.
  int64_t elapsedMs = int64_t{host.timeOfDayMs()} - state.playStartTime;
  if (elapsedMs < 0) elapsedMs += kMsPerDay;
  const double elapsed = static_cast<double>(elapsedMs) / 1000.0;

  // Song length at the current tempo; a song without division or tempo has
  // none.
  double length = 0;
  if (song.BPM > 0 && song.division > 0)
    length = static_cast<double>(song.SongEndTick) * 60.0 / song.BPM / song.division;

  // An empty song shows 0 %.
  const double end =
      static_cast<double>(song.SongEndTick) * static_cast<double>(kClockUnitsPerTick);
  const double percent = end > 0 ? static_cast<double>(state.PlaybackClock) * 100.0 / end : 0.0;

  MaskText caption;
  Mask_format(caption, elapsed, "000#.# s ");
  Mask_format(caption, length, " (#.# s)");
  Mask_format(caption, percent, " ###.#_% ");
  host.setProgress(static_cast<float>(std::clamp(percent, 0.0, 100.0)), caption.view());
}

void Channel_click(PlaybackState& state, SchedulerHost& host, int32_t k) {
  if (k < 0 || k >= kChannelButtonCount) return;
  int32_t& on = state.ChannelSwitch[static_cast<size_t>(k)];
  on = 1 - on;
  host.setChannelButton(k, static_cast<float>((1 - on) * 100), {});
  // With every button on again, the sixteenth channel (muted by a solo) plays
  // again too.
  if (std::all_of(state.ChannelSwitch.begin(), state.ChannelSwitch.begin() + kChannelButtonCount,
                  [](int32_t s) { return s != 0; }))
    state.ChannelSwitch[kChannelButtonCount] = 1;
  host.sendToConsole(0, 0);
}

void Channel_solo(PlaybackState& state, SchedulerHost& host, int32_t k) {
  if (k < 0 || k >= kChannelButtonCount) return;
  for (int32_t j = 0; j < kChannelSwitchCount; ++j)
    state.ChannelSwitch[static_cast<size_t>(j)] = j == k ? 1 : 0;
  showChannelButtons(state, host);
  host.sendToConsole(0, 0);
}

int32_t Tempo_fromcontrol(float v) {
  if (!(v > 0)) return 400;
  const double bpm = std::min(6000.0 / v, 400.0);
  return static_cast<int32_t>(std::nearbyint(bpm));
}

}  // namespace zt
