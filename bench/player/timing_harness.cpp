// Timing of playback through the real link: a generated song of three
// minutes, dense notes on eight channels and a tempo change every two bars,
// played by the scheduler on the real timer thread, each event sent through
// the player's link client to a console process that takes it on its window
// thread with the real link server. For every event the harness compares
// the time the console handled it with its ideal time (play start + its tick
// at the tempo in force) and prints the lateness figures.
//
//   timing_harness [SECONDS]     (default 180)
#include <QCoreApplication>
#include <QEvent>
#include <QTime>
#include <QTimer>

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/link/link_client.h"
#include "platform/link/link_server.h"
#include "platform/timer/timer_slots.h"
#include "player/scheduler/scheduler.h"

namespace zt {
namespace {

int64_t MonotonicNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

struct Arrival {
  int64_t ns;
  int32_t wParam;
  int32_t lParam;
};

// The console's side: a process of its own that serves the link on its
// window thread and notes when each request is handled. It ends when the
// player has come and gone, and leaves its notes in `recordPath`.
[[noreturn]] void RunConsole(const std::string& socketPath, const std::string& recordPath,
                             int readyFd) {
  int argc = 1;
  char name[] = "console";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  std::vector<Arrival> arrivals;
  arrivals.reserve(1 << 20);
  LinkServer server([&](int32_t wParam, int32_t lParam) {
    arrivals.push_back({MonotonicNs(), wParam, lParam});
    return 0;
  });
  if (!server.listenAt(socketPath)) {
    std::fprintf(stderr, "console: %s\n", server.errorText().c_str());
    _exit(1);
  }
  const char ready = 1;
  if (write(readyFd, &ready, 1) != 1) _exit(1);
  bool seen = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (server.connections() > 0) seen = true;
    if (seen && server.connections() == 0) app.quit();
  });
  watch.start(50);
  app.exec();
  std::ofstream out(recordPath, std::ios::binary);
  out.write(reinterpret_cast<const char*>(arrivals.data()),
            static_cast<std::streamsize>(arrivals.size() * sizeof(Arrival)));
  _exit(out ? 0 : 1);
}

// Eight tracks on channels 0-7 playing sixteenths, with chords and some
// controllers, and a conductor track changing the tempo every two bars
// among 96, 132, 180 and 150 BPM. Each channel's notes walk their own range
// so that a message rarely repeats within seconds.
SongState MakeSong(double seconds) {
  SongState song;
  song.division = 480;
  song.BPM = 120;
  const int tempi[] = {96, 132, 180, 150};
  const int64_t sixteenth = 120;
  const int64_t twoBars = 8 * 480;
  song.SongEventTable.resize(9);
  // The conductor decides how many ticks the song needs for its seconds.
  double elapsed = 0;
  int64_t tick = 0;
  for (int i = 0; elapsed < seconds; ++i) {
    const int bpm = tempi[i % 4];
    song.SongEventTable[0].push_back(MidiEvent{kKindTempo, bpm, 0, tick});
    elapsed += 8.0 * 60.0 / bpm;
    tick += twoBars;
  }
  const int64_t end = tick;
  if (!song.SongEventTable[0].empty())
    song.BPM = static_cast<int32_t>(song.SongEventTable[0].back().first);
  for (int ch = 0; ch < 8; ++ch) {
    EventList& track = song.SongEventTable[static_cast<size_t>(ch + 1)];
    track.push_back(MidiEvent{0xC0 + ch, 19, 0, 0});
    int step = 0;
    // Each channel starts a little later so that the channels interleave.
    for (int64_t t = ch * 15; t + sixteenth <= end; t += sixteenth, ++step) {
      const int64_t note = 36 + (ch * 7 + step * 5) % 60;
      const int64_t velocity = 1 + (step * 3 + ch) % 127;
      track.push_back(MidiEvent{0x90 + ch, note, velocity, t});
      if (step % 4 == 0) track.push_back(MidiEvent{0x90 + ch, note + 4, velocity, t});
      if (step % 16 == 0) track.push_back(MidiEvent{0xB0 + ch, 1, step % 128, t});
      track.push_back(MidiEvent{0x80 + ch, note, 0, t + sixteenth - 10});
      if (step % 4 == 0) track.push_back(MidiEvent{0x80 + ch, note + 4, 0, t + sixteenth - 10});
    }
  }
  for (const EventList& track : song.SongEventTable)
    if (!track.empty()) song.SongEndTick = std::max(song.SongEndTick, track.back().tick);
  return song;
}

// Seconds from the start to `tick`, following the song's tempo events from
// the start value `bpm`.
class TempoMap {
 public:
  TempoMap(const SongState& song, int32_t bpm) : division_(song.division) {
    changes_.push_back({0, 0.0, bpm});
    for (const MidiEvent& e : song.SongEventTable[0]) {
      if (e.kind != kKindTempo) continue;
      const Change& last = changes_.back();
      const double at =
          last.seconds + static_cast<double>(e.tick - last.tick) * 60.0 / (last.bpm * division_);
      if (e.tick == last.tick)
        changes_.back().bpm = static_cast<int32_t>(e.first);
      else
        changes_.push_back({e.tick, at, static_cast<int32_t>(e.first)});
    }
  }
  double Seconds(int64_t tick) const {
    auto it = std::upper_bound(changes_.begin(), changes_.end(), tick,
                               [](int64_t t, const Change& c) { return t < c.tick; });
    const Change& c = *(it - 1);
    return c.seconds + static_cast<double>(tick - c.tick) * 60.0 / (c.bpm * division_);
  }

 private:
  struct Change {
    int64_t tick;
    double seconds;
    int32_t bpm;
  };
  int32_t division_;
  std::vector<Change> changes_;
};

// The player's window thread: ticks from the timer threads arrive as posted
// events and run the scheduler; the song's end quits the loop.
class PlayerWindow : public QObject, public SchedulerHost {
 public:
  static inline const QEvent::Type kTick = static_cast<QEvent::Type>(QEvent::User + 3084 - 3000);

  class TickEvent : public QEvent {
   public:
    explicit TickEvent(int32_t slot) : QEvent(kTick), slot(slot) {}
    int32_t slot;
  };

  PlayerWindow(SongState& song, LinkClient& link) : song_(song), link_(link) {
    sends_.reserve(1 << 20);
  }

  // When a request left, and on which playback tick (0 at play start).
  struct Send {
    int64_t ns;
    int64_t tick;
  };

  bool event(QEvent* e) override {
    if (e->type() != kTick) return QObject::event(e);
    const int32_t slot = static_cast<TickEvent*>(e)->slot;
    if (slot == kSlotPlayback) ++ticks_;
    Player_tick(song_, state_, *this, slot);
    if (slot == kSlotPlayback && !state_.running) QCoreApplication::quit();
    return true;
  }

  void Play() {
    state_.fileName = "timing.mid";
    Player_play(song_, state_, *this);
  }

  // SchedulerHost.
  void SendToConsole(int32_t wParam, int32_t lParam) override {
    sends_.push_back({MonotonicNs(), ticks_});
    link_.send(wParam, lParam);
  }
  void SetDataView(std::string_view) override {}
  void SetChannelButton(int32_t, float, std::string_view) override {}
  void SetProgress(float, std::string_view) override {}
  void FlipPauseSwitch() override {}
  void ShowMessage(std::string_view text) override {
    std::fprintf(stderr, "%.*s\n", int(text.size()), text.data());
  }
  void PostLoopCommand() override {}
  int32_t StartTimer(int32_t slot, int32_t periodMs) override {
    if (slot == kSlotPlayback) startNs_ = MonotonicNs();
    return zt::StartTimer(
        timers_,
        [this](int32_t, int32_t s) { QCoreApplication::postEvent(this, new TickEvent(s)); }, slot,
        periodMs);
  }
  void StopTimer(int32_t slot) override { zt::StopTimer(timers_, slot); }
  int32_t TimeOfDayMs() override { return QTime::currentTime().msecsSinceStartOfDay(); }

  int64_t startNs() const { return startNs_; }
  const std::vector<Send>& sends() const { return sends_; }
  void StopAll() { zt::StopTimer(timers_, 0); }

 private:
  SongState& song_;
  LinkClient& link_;
  PlaybackState state_;
  TimerTable timers_;
  int64_t startNs_ = 0;
  int64_t ticks_ = 0;
  std::vector<Send> sends_;
};

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t i = static_cast<size_t>(std::lround(p * static_cast<double>(values.size() - 1)));
  return values[i];
}

int Run(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 180.0;
  const std::string base = "/tmp/zt-timing-" + std::to_string(getpid());
  const std::string socketPath = base + ".link";
  const std::string recordPath = base + ".rec";

  int ready[2];
  if (pipe(ready) != 0) return 1;
  const pid_t console = fork();
  if (console < 0) return 1;
  if (console == 0) {
    close(ready[0]);
    RunConsole(socketPath, recordPath, ready[1]);
  }
  close(ready[1]);
  char byte = 0;
  if (read(ready[0], &byte, 1) != 1) {
    std::fprintf(stderr, "the console did not start\n");
    return 1;
  }

  QCoreApplication app(argc, argv);
  SongState song = MakeSong(seconds);
  const int32_t startBpm = song.BPM;  // the tempo the song starts at, left by "loading"
  const TempoMap tempo(song, startBpm);
  int64_t events = 0;
  for (const EventList& track : song.SongEventTable)
    for (const MidiEvent& e : track) events += e.kind >= 0x80;

  std::vector<PlayerWindow::Send> sends;
  int64_t startNs = 0;
  {
    LinkClient link(2000);
    if (!link.findAt(socketPath)) {
      std::fprintf(stderr, "no console at %s\n", socketPath.c_str());
      return 1;
    }
    PlayerWindow window(song, link);
    QTimer::singleShot(0, &window, [&window] { window.Play(); });
    app.exec();
    window.StopAll();
    sends = window.sends();
    startNs = window.startNs();
  }
  int status = 0;
  waitpid(console, &status, 0);
  std::ifstream in(recordPath, std::ios::binary);
  std::vector<Arrival> arrivals;
  Arrival a;
  while (in.read(reinterpret_cast<char*>(&a), sizeof a)) arrivals.push_back(a);
  std::remove(recordPath.c_str());

  // Every song event, in each lParam's own queue in due order; arrivals take
  // the earliest unmatched one of their word.
  std::map<int32_t, std::deque<int64_t>> due;  // lParam -> ticks
  std::vector<std::pair<int64_t, int32_t>> order;
  for (const EventList& track : song.SongEventTable)
    for (const MidiEvent& e : track)
      if (e.kind >= 0x80)
        order.push_back({e.tick, static_cast<int32_t>(e.kind + 256 * e.first + 65536 * e.second)});
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  for (const auto& [tick, word] : order) due[word].push_back(tick);

  // lateness: against the ideal time; delivery: against the timer tick that
  // carried the event (start + n x 10 ms), which leaves out the 10 ms steps
  // the schedule is made of; link: from the player's send to the console.
  std::vector<double> lateness, delivery, linkDelay;
  double last = 0;
  int64_t unmatched = 0, notesOff = 0;
  for (size_t i = 0; i < arrivals.size(); ++i) {
    if (arrivals[i].lParam == 0) {
      ++notesOff;
      continue;
    }
    auto it = due.find(arrivals[i].lParam);
    if (it == due.end() || it->second.empty()) {
      ++unmatched;
      continue;
    }
    const int64_t tick = it->second.front();
    it->second.pop_front();
    const double ideal = static_cast<double>(startNs) / 1e6 + tempo.Seconds(tick) * 1000.0;
    const double late = static_cast<double>(arrivals[i].ns) / 1e6 - ideal;
    lateness.push_back(late);
    if (i < sends.size()) {
      linkDelay.push_back(static_cast<double>(arrivals[i].ns - sends[i].ns) / 1e6);
      const int64_t tickNs = startNs + sends[i].tick * kPlaybackPeriodMs * 1000000;
      delivery.push_back(static_cast<double>(arrivals[i].ns - tickNs) / 1e6);
    }
    last = late;
  }
  int64_t missing = 0;
  for (const auto& [word, ticks] : due) missing += static_cast<int64_t>(ticks.size());

  const double songSeconds = tempo.Seconds(song.SongEndTick);
  std::printf("song: %.1f s, %lld events on 8 channels, %zu tempo changes\n", songSeconds,
              static_cast<long long>(events), song.SongEventTable[0].size());
  std::printf(
      "received: %zu requests (%lld all-notes-off), %lld not in the song, %lld never arrived\n",
      arrivals.size(), static_cast<long long>(notesOff), static_cast<long long>(unmatched),
      static_cast<long long>(missing));
  std::printf("lateness against the ideal time (ms): min %.3f  p50 %.3f  p99 %.3f  max %.3f\n",
              lateness.empty() ? 0 : *std::min_element(lateness.begin(), lateness.end()),
              Percentile(lateness, 0.5), Percentile(lateness, 0.99),
              lateness.empty() ? 0 : *std::max_element(lateness.begin(), lateness.end()));
  std::printf("last event: %.3f ms from its ideal time\n", last);
  std::printf("against its timer tick (ms): p50 %.3f  p99 %.3f  max %.3f\n",
              Percentile(delivery, 0.5), Percentile(delivery, 0.99),
              delivery.empty() ? 0 : *std::max_element(delivery.begin(), delivery.end()));
  std::printf("link, send to handled (ms): p50 %.3f  p99 %.3f  max %.3f\n",
              Percentile(linkDelay, 0.5), Percentile(linkDelay, 0.99),
              linkDelay.empty() ? 0 : *std::max_element(linkDelay.begin(), linkDelay.end()));
  const size_t over = static_cast<size_t>(
      std::count_if(lateness.begin(), lateness.end(), [](double l) { return l > 12.0; }));
  std::printf(
      "goal (none later than 12 ms, the last within 10 ms): %s, %zu events later than 12 ms\n",
      over == 0 && std::fabs(last) <= 10.0 && missing == 0 ? "met" : "NOT met", over);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zt

int main(int argc, char** argv) { return zt::Run(argc, argv); }
