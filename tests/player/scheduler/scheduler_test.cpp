// The playback scheduler on a hand-driven clock: on which tick each event
// leaves, across tempo changes, pause, loop and stop, and what the window is
// told on the way.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "player/reader/song_state.h"
#include "player/scheduler/scheduler.h"
#include "tests/player/scheduler/recording_scheduler_host.h"
#include "tests/support/midi_test_files.h"

namespace zt::test {
namespace {

constexpr int32_t NoteOn(int ch, int note, int vel) { return 0x90 + ch + 256 * note + 65536 * vel; }
constexpr int32_t NoteOff(int ch, int note) { return 0x80 + ch + 256 * note; }

class SchedulerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    song_.division = 96;
    song_.BPM = 120;
    state_.fileName = "song.mid";
  }
  // Appends one record to track k (1-based), growing the song as needed.
  void Add(int32_t k, int64_t kind, int64_t first, int64_t second, int64_t tick) {
    while (song_.trackCount() < k) song_.SongEventTable.emplace_back();
    song_.SongEventTable[static_cast<size_t>(k - 1)].push_back(
        MidiEvent{kind, first, second, tick});
    song_.SongEndTick = std::max(song_.SongEndTick, tick);
  }
  void Play() { Player_play(song_, state_, host_); }
  void Run(int64_t ticks) { host_.RunTicks(song_, state_, ticks); }

  SongState song_;
  PlaybackState state_;
  RecordingSchedulerHost host_;
};

TEST_F(SchedulerTest, EventsLeaveOnTheTickTheirTimeIsReached) {
  // 96 ticks a quarter at 120 BPM: a quarter lasts 500 ms, 50 timer ticks.
  Add(1, 0x90, 60, 100, 0);
  Add(1, 0x80, 60, 0, 95);   // 49.5 timer ticks: out on the 50th
  Add(2, 0x91, 62, 90, 96);  // exactly 50
  Add(2, 0x81, 62, 0, 97);   // 50.5: the 51st
  Play();
  Run(60);
  EXPECT_EQ(host_.sent, (std::vector<Sent>{{0, 0, 0},
                                           {0, NoteOn(0, 60, 100), 0},
                                           {0, NoteOff(0, 60), 50},
                                           {0, NoteOn(1, 62, 90), 50},
                                           {0, NoteOff(1, 62), 51}}));
  // The song ended with its last event: both timers stopped.
  EXPECT_FALSE(host_.Running(kSlotPlayback));
  EXPECT_FALSE(host_.Running(kSlotProgress));
}

TEST_F(SchedulerTest, PlayStartsTheTimersAndSendsTickZeroEventsAtOnce) {
  Add(1, 0xC0, 19, 0, 0);
  Add(1, 0x90, 60, 100, 0);
  Add(2, 0xB0, 7, 100, 0);
  Add(2, 0x80, 60, 0, 960);
  Play();
  EXPECT_EQ(host_.timers, (std::map<int32_t, int32_t>{{1, 10}, {3, 100}}));
  // All notes off first, then track by track in record order, before any
  // tick.
  EXPECT_EQ(host_.sent, (std::vector<Sent>{{0, 0, 0},
                                           {0, 0xC0 + 256 * 19, 0},
                                           {0, NoteOn(0, 60, 100), 0},
                                           {0, 0xB0 + 256 * 7 + 65536 * 100, 0}}));
  EXPECT_EQ(state_.NextEventIndex, (std::vector<int32_t>{3, 2}));
  EXPECT_EQ(state_.EventDueTime[1], (std::vector<int64_t>{0, 960 * 60000}));
}

TEST_F(SchedulerTest, TempoEventsAndTheTempoControlTakeEffectFromTheNextTick) {
  Add(1, kKindTempo, 240, 0, 96);  // twice as fast from the first quarter
  Add(2, 0x90, 60, 1, 192);        // 50 ticks + 25 ticks
  Add(2, 0x90, 61, 1, 288);        // then the tempo control halves the speed
  Play();
  Run(75);
  EXPECT_EQ(song_.BPM, 240);
  ASSERT_EQ(host_.Events().size(), 1u);
  EXPECT_EQ(host_.Events()[0].tick, 75);
  EXPECT_EQ(host_.dataView.size(), 1u);  // the tempo event is not shown

  song_.BPM = Tempo_fromcontrol(50);  // 120 BPM
  Run(60);
  ASSERT_EQ(host_.Events().size(), 2u);
  EXPECT_EQ(host_.Events()[1].tick, 125);
}

TEST_F(SchedulerTest, ManyTempoChangesDoNotAddUpToDrift) {
  // 200 tempo changes between 120 and 97 BPM every 97 ticks; at division 96
  // a tick at 120 BPM is 1.92 ticks of the file, so nearly every change
  // falls inside a timer tick.
  double ms = 0;
  int64_t tick = 0;
  for (int i = 0; i < 200; ++i, tick += 97) {
    const int bpm = i % 2 ? 97 : 120;
    Add(1, kKindTempo, bpm, 0, tick);
    ms += 97 * 60000.0 / (96.0 * bpm);
  }
  Add(2, 0x90, 60, 1, tick);
  Play();
  Run(static_cast<int64_t>(ms / 10) + 5);
  ASSERT_EQ(host_.Events().size(), 1u);
  // The timer tick that carries it is the first at or after its time: its
  // time, in 10 ms ticks, rounded up, give or take the rounding of the clock.
  EXPECT_NEAR(static_cast<double>(host_.Events()[0].tick), std::ceil(ms / 10), 1.0) << ms;
}

TEST_F(SchedulerTest, PlayKeepsTheTempoItFinds) {
  // No tempo at tick 0: the song starts at whatever BPM holds.
  Add(1, 0x90, 60, 1, 96);
  Add(1, kKindTempo, 240, 0, 96);
  song_.BPM = 60;
  Play();
  Run(100);
  EXPECT_EQ(host_.Events().at(0).tick, 100);
  EXPECT_EQ(song_.BPM, 240);
  // The next play starts at the tempo the last one left.
  host_.tick = 0;
  Play();
  Run(25);
  EXPECT_EQ(host_.Events().at(1).tick, 25);
}

TEST_F(SchedulerTest, PlayWhilePlayingStartsAgainFromTheBeginning) {
  Add(1, 0x90, 60, 1, 0);
  Add(1, 0x80, 60, 0, 96);
  Play();
  Run(30);
  host_.tick = 0;
  Play();
  EXPECT_EQ(host_.timerStarts, 4);
  Run(60);
  EXPECT_EQ(host_.sent, (std::vector<Sent>{{0, 0, 0},
                                           {0, NoteOn(0, 60, 1), 0},
                                           {0, 0, 0},
                                           {0, NoteOn(0, 60, 1), 0},
                                           {0, NoteOff(0, 60), 50}}));
}

TEST_F(SchedulerTest, PauseAndResumeSendEveryEventExactlyOnce) {
  // An event on every tick of the song's first 200 ticks, in two tracks.
  for (int t = 0; t < 200; ++t) Add(1 + t % 2, 0xB0, t % 128, 1 + t / 128, t * 96 / 50);
  Play();
  Run(37);
  Player_pause(song_, state_, host_);
  EXPECT_EQ(state_.paused, 1);
  EXPECT_EQ(host_.pauseFlips, 1);
  EXPECT_TRUE(host_.timers.empty());
  EXPECT_EQ(host_.sent.back(), (Sent{0, 0, 37}));
  const size_t sentBeforePause = host_.Events().size();
  // A tick that was already queued when the timer stopped changes nothing.
  Player_tick(song_, state_, host_, kSlotPlayback);
  Run(500);
  EXPECT_EQ(host_.Events().size(), sentBeforePause);

  Player_pause(song_, state_, host_);
  EXPECT_EQ(state_.paused, 0);
  EXPECT_EQ(host_.pauseFlips, 2);
  Run(300);
  const std::vector<Sent> events = host_.Events();
  ASSERT_EQ(events.size(), 200u);
  for (int t = 0; t < 200; ++t)
    EXPECT_EQ(events[t].lParam, 0xB0 + 256 * (t % 128) + 65536 * (1 + t / 128)) << t;
}

TEST_F(SchedulerTest, LoopRestartsByItselfUntilStopped) {
  Add(1, 0x90, 60, 1, 0);
  Add(1, 0x80, 60, 0, 96);
  Player_loop(song_, state_, host_);
  EXPECT_EQ(state_.loopOn, 1);
  Run(50);
  EXPECT_EQ(host_.loopPosts, 1);
  EXPECT_EQ(host_.loopsRun, 1);
  Run(50);
  EXPECT_EQ(host_.loopPosts, 2);
  // Three runs: the first, and two restarts, each starting with all notes off.
  EXPECT_EQ(host_.NotesOffCount(), 3);
  EXPECT_EQ(host_.Events().size(), 5u);

  Player_stop(state_, host_);
  EXPECT_EQ(state_.loopOn, 0);
  EXPECT_TRUE(host_.timers.empty());
  EXPECT_EQ(host_.sent.back(), (Sent{0, 0, 0}));
  // A play after stop runs the song once.
  Play();
  Run(200);
  EXPECT_EQ(host_.loopPosts, 2);
  EXPECT_EQ(host_.Events().size(), 7u);
}

TEST_F(SchedulerTest, StopAndPlayUnpauseTheSwitch) {
  Add(1, 0x90, 60, 1, 960);
  Play();
  Player_pause(song_, state_, host_);
  Player_stop(state_, host_);
  EXPECT_EQ(state_.paused, 0);
  EXPECT_EQ(host_.pauseFlips, 2);
  Player_pause(song_, state_, host_);
  Play();
  EXPECT_EQ(state_.paused, 0);
  EXPECT_EQ(host_.pauseFlips, 4);
  EXPECT_TRUE(host_.Running(kSlotPlayback));
}

TEST_F(SchedulerTest, MutedChannelsAreShownButNotSent) {
  Add(1, 0x92, 60, 100, 0);  // channel 3: switch 3
  Add(1, 0xC2, 19, 0, 0);    // a program change: switch 0
  Add(1, 0x82, 60, 0, 0);
  Add(1, 0x90, 64, 100, 0);
  Channel_click(state_, host_, 3);
  Channel_click(state_, host_, 0);
  host_.sent.clear();
  host_.buttons.clear();
  state_.RoutingMode = 1;
  Play();
  EXPECT_EQ(host_.sent, (std::vector<Sent>{{0, 0, 0}, {1, NoteOn(0, 64, 100), 0}}));
  EXPECT_EQ(host_.dataView,
            (std::vector<std::string>{
                "MIDI OUT Canale: 3  146 60 100  1", "MIDI OUT Canale: 0  194 19 0  1",
                "MIDI OUT Canale: 3  130 60 0  1", "MIDI OUT Canale: 1  144 64 100  1"}));
  // A full bar for a muted channel; note on shows the channel, note off a
  // blank, other events keep the caption.
  EXPECT_EQ(host_.buttons,
            (std::vector<ButtonSet>{{3, 100, "3"}, {0, 100, ""}, {3, 100, " "}, {1, 0, "1"}}));
}

TEST_F(SchedulerTest, DataViewAndLinkWordOfANoteOnChannelThree) {
  Add(1, 0x92, 60, 100, 0);
  Add(1, 0x90, 60, 100, 0);
  Play();
  EXPECT_EQ(host_.sent.at(1), (Sent{0, 0x92 + 256 * 60 + 65536 * 100, 0}));
  EXPECT_EQ(host_.dataView.at(1), "MIDI OUT Canale: 1  144 60 100  0");
}

TEST_F(SchedulerTest, DamagedMessagesAreShownButNotSent) {
  // The reader takes the bytes after a status byte as they are.
  Add(1, 0x90, 0x90, 100, 0);
  Add(1, 0xB0, 7, 0xFF, 0);
  Add(1, 0x90, 60, 100, 0);
  Play();
  EXPECT_EQ(host_.Events(), (std::vector<Sent>{{0, NoteOn(0, 60, 100), 0}}));
  EXPECT_EQ(host_.dataView.size(), 3u);
}

TEST_F(SchedulerTest, SixteenthChannelPlaysUntilASoloAndAfterEveryButtonIsBackOn) {
  Add(1, 0x9F, 60, 100, 0);
  Play();
  EXPECT_EQ(host_.Events().size(), 1u);
  // No button 16 to show it on.
  for (const ButtonSet& b : host_.buttons) EXPECT_LT(b.k, 16);

  Channel_solo(state_, host_, 4);
  for (int k = 0; k < 17; ++k) EXPECT_EQ(state_.ChannelSwitch[k], k == 4 ? 1 : 0) << k;
  Play();
  EXPECT_EQ(host_.Events().size(), 1u);

  for (int k = 0; k < 16; ++k)
    if (k != 4) Channel_click(state_, host_, k);
  EXPECT_EQ(state_.ChannelSwitch[16], 1);
  Play();
  EXPECT_EQ(host_.Events().size(), 2u);
}

TEST_F(SchedulerTest, ChannelButtonsShowTheirSwitchAndSilenceTheConsole) {
  Channel_click(state_, host_, 5);
  EXPECT_EQ(state_.ChannelSwitch[5], 0);
  EXPECT_EQ(host_.buttons, (std::vector<ButtonSet>{{5, 100, ""}}));
  EXPECT_EQ(host_.sent, (std::vector<Sent>{{0, 0, 0}}));
  Channel_click(state_, host_, 5);
  EXPECT_EQ(state_.ChannelSwitch[5], 1);
  EXPECT_EQ(host_.buttons.back(), (ButtonSet{5, 0, ""}));

  host_.buttons.clear();
  host_.sent.clear();
  Channel_solo(state_, host_, 2);
  ASSERT_EQ(host_.buttons.size(), 16u);
  for (int k = 0; k < 16; ++k)
    EXPECT_EQ(host_.buttons[k], (ButtonSet{k, k == 2 ? 0.0f : 100.0f, ""}));
  EXPECT_EQ(host_.sent, (std::vector<Sent>{{0, 0, 0}}));
  // Dragging on moves the solo.
  Channel_solo(state_, host_, 3);
  EXPECT_EQ(state_.ChannelSwitch[2], 0);
  EXPECT_EQ(state_.ChannelSwitch[3], 1);
  // Buttons that do not exist change nothing.
  Channel_click(state_, host_, 16);
  Channel_solo(state_, host_, -1);
  EXPECT_EQ(host_.sent.size(), 2u);
}

TEST_F(SchedulerTest, TempoControlValues) {
  EXPECT_EQ(Tempo_fromcontrol(0), 400);
  EXPECT_EQ(Tempo_fromcontrol(50), 120);
  EXPECT_EQ(Tempo_fromcontrol(100), 60);
  EXPECT_EQ(Tempo_fromcontrol(10), 400);  // 600 is held at 400
  EXPECT_EQ(Tempo_fromcontrol(16), 375);
  EXPECT_EQ(Tempo_fromcontrol(48), 125);
  EXPECT_EQ(Tempo_fromcontrol(80), 75);
}

TEST_F(SchedulerTest, WithoutAFileNothingStarts) {
  state_.fileName.clear();
  Add(1, 0x90, 60, 1, 0);
  Player_play(song_, state_, host_);
  Player_loop(song_, state_, host_);
  EXPECT_EQ(host_.messages,
            (std::vector<std::string>{"No midifile loaded!", "No midifile loaded!"}));
  EXPECT_EQ(state_.loopOn, 0);
  EXPECT_TRUE(host_.sent.empty());
  EXPECT_TRUE(host_.timers.empty());
}

TEST_F(SchedulerTest, ATimerThatCannotStartIsReported) {
  Add(1, 0x90, 60, 1, 96);
  host_.failTimers = true;
  Play();
  EXPECT_EQ(host_.messages,
            (std::vector<std::string>{"errore in mmtimerstart", "errore in mmtimerstart"}));
  Player_tick(song_, state_, host_, kSlotPlayback);
  EXPECT_EQ(state_.PlaybackClock, 0);
}

TEST_F(SchedulerTest, ClosingStopsEveryTimerAndSilences) {
  Add(1, 0x90, 60, 1, 960);
  Play();
  Player_close(state_, host_);
  EXPECT_TRUE(host_.timers.empty());
  EXPECT_EQ(host_.sent.back(), (Sent{0, 0, 0}));
  Run(100);
  EXPECT_TRUE(host_.Events().empty());
}

TEST_F(SchedulerTest, ASongEndsAtItsEndTickEvenAfterItsLastEvent) {
  Add(1, 0x90, 60, 1, 0);
  song_.SongEndTick = 192;  // the end of track came 192 ticks in
  state_.loopOn = 1;
  Play();
  Run(99);
  EXPECT_TRUE(host_.Running(kSlotPlayback));
  Run(1);
  EXPECT_EQ(host_.loopPosts, 1);
  // The final progress shows 100 %.
  EXPECT_FLOAT_EQ(host_.progressValue, 100);
}

TEST_F(SchedulerTest, AnEmptySongEndsAndIsNotLoopedForEver) {
  song_.SongEventTable.resize(2);
  song_.division = 0;
  Player_loop(song_, state_, host_);
  Run(3);
  EXPECT_FALSE(host_.Running(kSlotPlayback));
  EXPECT_EQ(host_.loopPosts, 0);
  ASSERT_FALSE(host_.progress.empty());
  EXPECT_EQ(host_.progress.back(), "0000.0 s  (0.0 s)   0.0% ");
  EXPECT_FLOAT_EQ(host_.progressValue, 0);
}

TEST_F(SchedulerTest, HostileTicksSaturateInsteadOfOverflowing) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  Add(1, 0x90, 60, 1, 0);
  Add(1, 0x80, 60, 0, kMax / 1000);
  song_.BPM = 60000000;
  song_.division = 65535;
  Play();
  EXPECT_EQ(state_.EventDueTime[0][1], kMax);
  Run(10);
  EXPECT_EQ(host_.Events().size(), 1u);
  // The clock saturates too, so even that event is reached and the song ends.
  state_.PlaybackClock = kMax - 5;
  Run(1);
  EXPECT_EQ(state_.PlaybackClock, kMax);
  EXPECT_EQ(host_.Events().size(), 2u);
  EXPECT_FALSE(host_.Running(kSlotPlayback));
}

TEST_F(SchedulerTest, ProgressShowsElapsedTimeLengthAndPercentage) {
  Add(1, 0x90, 60, 1, 0);
  Add(1, 0x80, 60, 0, 960);  // 5 s at 120 BPM
  Play();
  Run(25);
  host_.timeOfDay = state_.playStartTime + 5240;
  UpdateProgress(song_, state_, host_);
  EXPECT_EQ(host_.progress.back(), "0005.2 s  (5.0 s)   5.0% ");
  EXPECT_FLOAT_EQ(host_.progressValue, 5);

  // Longer times and lengths widen their fields.
  song_.BPM = 6;
  host_.timeOfDay = state_.playStartTime + 123450;
  UpdateProgress(song_, state_, host_);
  EXPECT_EQ(host_.progress.back(), "000123.4 s  (100.0 s)   5.0% ");

  // Across midnight the elapsed time goes on counting.
  state_.playStartTime = 24 * 3600 * 1000 - 1000;
  host_.timeOfDay = 500;
  UpdateProgress(song_, state_, host_);
  EXPECT_EQ(host_.progress.back().substr(0, 9), "0001.5 s ");
}

TEST_F(SchedulerTest, ProgressTimerRefreshesTheDisplayEveryTenthTick) {
  Add(1, 0x80, 60, 0, 9600);
  Play();
  Run(100);
  EXPECT_EQ(host_.progress.size(), 10u);
  EXPECT_EQ(host_.progress.back(), "0001.0 s  (50.0 s)   2.0% ");
}

TEST_F(SchedulerTest, ResetClearsThePositionAndStopsTheTimers) {
  Add(1, 0x90, 60, 1, 960);
  Play();
  Run(10);
  Playback_reset(state_, host_);
  EXPECT_TRUE(host_.timers.empty());
  EXPECT_EQ(state_.PlaybackClock, 0);
  EXPECT_TRUE(state_.NextEventIndex.empty());
  // A song loaded since plays from its own schedule; a resume before any play
  // sends nothing.
  song_ = SongState{};
  song_.division = 96;
  song_.BPM = 120;
  Add(1, 0x91, 1, 1, 0);
  Player_pause(song_, state_, host_);
  Player_pause(song_, state_, host_);
  Run(100);
  EXPECT_TRUE(host_.Events().empty());
}

// A file as the reader builds it, played through.
class SchedulerFileTest : public MidiFileTest {};

TEST_F(SchedulerFileTest, PlaysALoadedFileInOrderAndShowsItsTexts) {
  const Bytes track1 = Meta(0x03, "Organo") + Tempo(250000).substr(0) +
                       B({0x00, 0xC0, 0x13, 0x00, 0x90, 0x3C, 0x64, 0x60, 0x3C, 0x00}) +
                       EndOfTrack();
  const Bytes track2 = B({0x30, 0x91, 0x40, 0x50, 0x30, 0x40, 0x00}) + EndOfTrack();
  OpenBytes("played.mid", Header(96, 2) + Track(track1) + Track(track2));
  ASSERT_EQ(song_.trackCount(), 2);

  PlaybackState state;
  state.fileName = "played.mid";
  RecordingSchedulerHost host;
  Player_play(song_, state, host);
  host.RunTicks(song_, state, 100);
  // 240 BPM: a quarter is 25 ticks; the name is shown, not sent.
  EXPECT_EQ(host.Events(), (std::vector<Sent>{{0, 0xC0 + 256 * 0x13, 0},
                                              {0, NoteOn(0, 60, 100), 0},
                                              {0, NoteOn(1, 64, 80), 13},
                                              {0, NoteOff(0, 60), 25},
                                              {0, NoteOff(1, 64), 25}}));
  EXPECT_EQ(host.dataView.front(), "MIDI OUT Canale: 0  3 1 0  0");
  EXPECT_FALSE(host.Running(kSlotPlayback));
}

}  // namespace
}  // namespace zt::test

namespace zt::test {
namespace {

// Files no editor writes, as the reader takes them, played to their end (or
// cut short after a few thousand ticks): nothing overflows (the sanitizer
// builds check), only whole channel messages reach the console, and a song
// whose clock passes its end stops.
TEST_F(SchedulerFileTest, HostileFilesPlayWithoutHarm) {
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Bytes note = B({0x00, 0x90, 0x3C, 0x64});
  const std::vector<Case> cases = {
      {"huge-deltas.mid",
       Header(0xFFFF) + Track(note + VarLen(0x0FFFFFFF) + B({0x80, 0x3C, 0x00}) +
                              VarLen(0x0FFFFFFF) + B({0x90, 0x3D, 0x01}) + EndOfTrack())},
      {"fastest-tempo.mid",
       Header(0xFFFF) + Track(Tempo(1) + note + B({0x60, 0x80, 0x3C, 0x00}) + EndOfTrack())},
      {"slowest-tempo.mid",
       Header(1) + Track(Tempo(0xFFFFFF) + note + B({0x01, 0x80, 0x3C, 0x00}) + EndOfTrack())},
      {"no-division.mid", Header(0) + Track(note + B({0x60, 0x80, 0x3C, 0x00}) + EndOfTrack())},
      {"data-bytes-high.mid",
       Header(96) + Track(B({0x00, 0x90, 0xC0, 0xFF, 0x00, 0xB0, 0x07, 0x90}) + EndOfTrack())},
      {"texts-only.mid", Header(96) + Track(Meta(1, "a") + Meta(5, "la") + EndOfTrack())},
      {"end-after-events.mid", Header(96) + Track(note + B({0x83, 0x60, 0xFF, 0x2F, 0x00}))},
      {"no-tracks.mid", Header(96) + "garbage"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenBytes(c.name, c.bytes);
    PlaybackState state;
    state.fileName = c.name;
    RecordingSchedulerHost host;
    Player_play(song_, state, host);
    host.RunTicks(song_, state, 3000);
    for (const Sent& s : host.Events()) {
      const uint32_t word = static_cast<uint32_t>(s.lParam);
      EXPECT_GE(word & 0xFF, 0x80u);
      EXPECT_LE(word & 0xFF, 0xEFu);
      EXPECT_LT((word >> 8) & 0xFF, 0x80u);
      EXPECT_LT(word >> 16, 0x80u);
    }
    const double end = static_cast<double>(song_.SongEndTick) * 60000.0;
    if (static_cast<double>(state.PlaybackClock) >= end) {
      EXPECT_FALSE(host.Running(kSlotPlayback));
    }
    Player_close(state, host);
    EXPECT_TRUE(host.timers.empty());
  }
}

}  // namespace
}  // namespace zt::test
