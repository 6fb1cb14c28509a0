#pragma once
// Playback of the loaded song on a 10 ms periodic tick, with the transport
// commands of the player window. Everything here runs on the player's window
// thread: the window calls the commands for its buttons and Player_tick for
// every WM_PLAYER_TICK it receives.
//
// Events leave only through SchedulerHost::sendToConsole. The tick neither
// allocates nor touches files: due times are multiplied out once at play
// start, so a tick is one add and a few comparisons per track.
#include <cstdint>

#include "player/reader/song_state.h"
#include "player/scheduler/playback_state.h"
#include "player/scheduler/scheduler_host.h"

namespace zt {

// Texts the scheduler shows.
inline constexpr const char* kMsgNoMidifile = "No midifile loaded!";
inline constexpr const char* kMsgTimerStart = "errore in mmtimerstart";

// Play button: with a file chosen, all notes off, the pause switch back off,
// the clock to 0, both timers (re)started, the schedule multiplied out from
// the current song, then every event at tick 0 sent at once. Does not touch
// BPM. Play while playing starts again from the beginning.
void Player_play(SongState& song, PlaybackState& state, SchedulerHost& host);
// Loop button: loop on (once a file is chosen), then play.
void Player_loop(SongState& song, PlaybackState& state, SchedulerHost& host);
// Pause switch: pausing stops both timers and silences the console; resuming
// restarts them and goes on from the same position.
void Player_pause(SongState& song, PlaybackState& state, SchedulerHost& host);
// Stop button: loop off, pause switch back off, timers stopped, all notes
// off. The position stays; the next play starts from the beginning.
void Player_stop(PlaybackState& state, SchedulerHost& host);
// The window is being destroyed: every timer stopped, all notes off.
void Player_close(PlaybackState& state, SchedulerHost& host);
// Before the song is replaced (ResetSong): both timers stopped, position,
// schedule and progress cleared.
void Playback_reset(PlaybackState& state, SchedulerHost& host);

// WM_PLAYER_TICK with lParam `slot`: 1 runs the playback tick, 3 the
// progress display, any other slot nothing.
void Player_tick(SongState& song, PlaybackState& state, SchedulerHost& host, int32_t slot);
// One 10 ms step: the clock advances by division x BPM x 10 and every event
// that has fallen due is sent, track by track. A BPM changed before the tick
// (by a tempo event or the tempo control) sets this tick's step; after a
// tempo event the step also makes up for the part of the previous tick that
// ran at the old tempo past the event.
void Playback_tick(SongState& song, PlaybackState& state, SchedulerHost& host);
// Outputs the record at NextEventIndex of `track` (1-based): tempo events set
// BPM; channel messages and texts are shown on the data view and their
// channel button, and channel messages whose switch is on go to the console.
// The caller advances NextEventIndex afterwards.
void SendDueEvent(SongState& song, PlaybackState& state, SchedulerHost& host, int32_t track);
// The progress display: elapsed time, song length at the current tempo and
// the percentage played, e.g. "0005.2 s  (12.0 s)  43.3% ".
void UpdateProgress(const SongState& song, const PlaybackState& state, SchedulerHost& host);

// Channel button k (0-15) clicked: switch k flips, the button shows it (an
// empty bar is on, a full one off), then all notes off.
void Channel_click(PlaybackState& state, SchedulerHost& host, int32_t k);
// Right button held over channel button k (0-15): only switch k stays on,
// every button shows its switch, then one all-notes-off request.
void Channel_solo(PlaybackState& state, SchedulerHost& host, int32_t k);

// The tempo control's value v (0-100) as a tempo: 6000 / v, at most 400,
// rounded to the nearest integer with halves to even (0 gives 400, 50 gives
// 120, 100 gives 60).
int32_t Tempo_fromcontrol(float v);

}  // namespace zt
