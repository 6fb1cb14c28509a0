// Timing of playback through the real console: the player's window plays a
// generated song on its real 10 ms timer and sends every event through the
// link to a console process that runs the whole console (its window on the
// offscreen platform, its MIDI input on a private JACK server) with a
// stamping output device: every message the console hands to its output is
// stamped there. The player plays in direct mode, so each event is one
// message on the output.
//
// For every event the harness compares that stamp with
//   - its tick: the moment the player's 10 ms tick that carries it was due
//     (start + n x 10 ms, n taken from the scheduler itself, replayed);
//   - its ideal time: play start + its tick at the tempo in force;
// and prints the lateness figures, the events per second the console took,
// the player's round trip per request, and the machine's load average.
//
//   timing_harness [song SECONDS | rate EVENTS_PER_SECOND SECONDS] ...
//     (default: song 180  rate 1920 24  rate 5000 20)
//
// Both windows are drawn on the offscreen platform unless QT_QPA_PLATFORM
// says otherwise: under an X server (xvfb-run ... env QT_QPA_PLATFORM=xcb)
// every repaint goes to the server as a real window's does.
//
// song: eight channels of sixteenths and chords with a tempo change every
// eight beats; rate: two-event notes on eight channels, evenly spread, at the
// rate asked.
// Goals on a quiet machine: p99 no later than 11 ms and max 12 ms against
// the tick, the last event within 1 ms of its tick, 5000 events per second
// without falling behind.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/midi_message.h"
#include "console/app/window/console_startup.h"
#include "controls/control_table.h"
#include "platform/link/link_client.h"
#include "platform/midi/default_devices.h"
#include "platform/timer/timer_slots.h"
#include "player/scheduler/scheduler.h"
#include "player/window/player_ids.h"
#include "player/window/player_window.h"
#include "tests/support/engine_setup.h"
#include "tests/support/jack_fixture.h"

namespace zt {
namespace {

int64_t MonotonicNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five;
  in >> one >> five;
  return one + " " + five;
}

struct Stamp {
  int64_t ns;
  uint32_t message;
};

// An output device of the console's device list that stamps what it is
// sent, as cheaply as a real port takes it.
class StampingOutDriver : public MidiOutDriver {
 public:
  static constexpr const char* kName = "timing stamps";
  static constexpr size_t kCapacity = 1 << 22;
  StampingOutDriver() : stamps_(new Stamp[kCapacity]) {}
  int portCount() override { return 1; }
  std::string portName(int port) override { return port == 0 ? kName : std::string(); }
  int openPort(int port, std::unique_ptr<MidiOutPort>& opened) override {
    if (port != 0) return MIDIERR_BADDEVICEID;
    opened = std::make_unique<Port>(*this);
    return MIDI_OK;
  }
  bool save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    const size_t n = std::min(count_.load(), kCapacity);
    out.write(reinterpret_cast<const char*>(stamps_.get()),
              static_cast<std::streamsize>(n * sizeof(Stamp)));
    return static_cast<bool>(out);
  }

 private:
  class Port : public MidiOutPort {
   public:
    explicit Port(StampingOutDriver& d) : d_(d) {}
    int send(uint32_t m) override {
      const size_t i = d_.count_.fetch_add(1, std::memory_order_relaxed);
      if (i < kCapacity) d_.stamps_[i] = {MonotonicNs(), m};
      return MIDI_OK;
    }

   private:
    StampingOutDriver& d_;
  };
  std::unique_ptr<Stamp[]> stamps_;
  std::atomic<size_t> count_{0};
};

// The console: the whole program in the folder `dir` (its settings files
// there), on the stamping output. Tells `readyFd` once its window is shown;
// ends on SIGTERM and leaves the stamps in `recordPath`.
[[noreturn]] void RunConsole(const std::string& dir, const std::string& recordPath, int readyFd) {
  std::filesystem::current_path(dir);
  // Its log lines go to a file of its own.
  if (std::FILE* log = std::freopen("console.log", "w", stderr)) (void)log;
  bool saved = false;
  {
    MidiOut out;
    MidiIn in;
    Platform_mididevices(out, in);
    auto stamps = std::make_shared<StampingOutDriver>();
    out.addDriver(stamps);
    test::Console_writesettings(".", test::Engine_outputnamed(out, StampingOutDriver::kName), 32);
    int argc = 1;
    char name[] = "consolle";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    ConsoleHooks hooks;
    hooks.onStep = [readyFd](const char* step) {
      if (std::string(step) != "shown") return;
      const char ready = 1;
      if (write(readyFd, &ready, 1) != 1) _exit(1);
    };
    Console_run(out, in, hooks);
    saved = stamps->save(recordPath);
    // The device lists close their JACK clients here: a client that
    // vanished without closing would hold the server up.
  }
  _exit(saved ? 0 : 1);
}

// Eight tracks on channels 0-7 playing sixteenths, with chords and some
// controllers, and a conductor track changing the tempo every two bars
// among 96, 132, 180 and 150 BPM.
SongState MakeSong(double seconds) {
  SongState song;
  song.division = 480;
  song.BPM = 120;
  const int tempi[] = {96, 132, 180, 150};
  const int64_t sixteenth = 120;
  const int64_t twoBars = 8 * 480;
  song.SongEventTable.resize(9);
  double elapsed = 0;
  int64_t tick = 0;
  for (int i = 0; elapsed < seconds; ++i) {
    const int bpm = tempi[i % 4];
    song.SongEventTable[0].push_back(MidiEvent{kKindTempo, bpm, 0, tick});
    elapsed += 8.0 * 60.0 / bpm;
    tick += twoBars;
  }
  const int64_t end = tick;
  for (int ch = 0; ch < 8; ++ch) {
    EventList& track = song.SongEventTable[static_cast<size_t>(ch + 1)];
    track.push_back(MidiEvent{0xC0 + ch, 19, 0, 0});
    int step = 0;
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

// `rate` events per second for `seconds` at 120 BPM: notes of two events
// (on, then off at the next event's time) going round channels 0-7.
SongState MakeRateSong(double rate, double seconds) {
  SongState song;
  song.division = 480;
  song.BPM = 120;
  song.SongEventTable.resize(9);
  const double ticksPerSecond = 2.0 * song.division;
  const int64_t events = static_cast<int64_t>(rate * seconds) / 2 * 2;
  for (int64_t i = 0; i < events; i += 2) {
    const int64_t on = std::llround(static_cast<double>(i) * ticksPerSecond / rate);
    const int64_t off = std::llround(static_cast<double>(i + 1) * ticksPerSecond / rate);
    const int64_t ch = (i / 2) % 8;
    const int64_t note = 36 + (i / 2 * 7) % 60;
    EventList& track = song.SongEventTable[static_cast<size_t>(ch + 1)];
    track.push_back(MidiEvent{0x90 + ch, note, 100, on});
    track.push_back(MidiEvent{0x80 + ch, note, 0, off});
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

// What the player will send, and on which of its ticks (0 = at play start),
// from the scheduler itself run tick by tick without a clock.
struct Planned {
  int32_t lParam;
  int64_t tick;      // the player's 10 ms tick that carries it
  int64_t songTick;  // its place in the song
};

class ReplayHost : public SchedulerHost {
 public:
  void sendToConsole(int32_t, int32_t lParam) override { sent.push_back({lParam, ticks, 0}); }
  void setDataView(std::string_view) override {}
  void setChannelButton(int32_t, float, std::string_view) override {}
  void setProgress(float, std::string_view) override {}
  void flipPauseSwitch() override {}
  void showMessage(std::string_view) override {}
  void postLoopCommand() override {}
  int32_t startTimer(int32_t, int32_t) override { return 1; }
  void stopTimer(int32_t) override {}
  int32_t timeOfDayMs() override { return 0; }
  std::vector<Planned> sent;
  int64_t ticks = 0;
};

std::vector<Planned> Replay(SongState song) {
  // Each message word's events in due order: the k-th send of a word is its
  // k-th event.
  std::map<int32_t, std::deque<int64_t>> due;
  std::vector<std::pair<int64_t, int32_t>> order;
  for (const EventList& track : song.SongEventTable)
    for (const MidiEvent& e : track)
      if (e.kind >= kNoteOff) {
        const MidiMessage m(static_cast<int>(e.kind), static_cast<int>(e.first),
                            static_cast<int>(e.second));
        order.push_back({e.tick, static_cast<int32_t>(m.word)});
      }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  for (const auto& [tick, word] : order) due[word].push_back(tick);

  ReplayHost host;
  PlaybackState state;
  state.fileName = "replay";
  Player_play(song, state, host);
  while (state.running) {
    ++host.ticks;
    Playback_tick(song, state, host);
  }
  for (Planned& p : host.sent) {
    auto it = due.find(p.lParam);
    if (p.lParam == 0 || it == due.end() || it->second.empty()) continue;
    p.songTick = it->second.front();
    it->second.pop_front();
  }
  return host.sent;
}

// The real player window, with the moments that matter noted: when the
// playback timer starts, and every request's round trip.
class TimedPlayerWindow : public PlayerWindow {
 public:
  explicit TimedPlayerWindow(LinkClient& link)
      : PlayerWindow(
            link,
            [](const std::string&, const std::string& text) {
              std::fprintf(stderr, "player: %s\n", text.c_str());
            },
            [](QWidget*) { return std::string(); }) {
    roundTrips.reserve(1 << 20);
  }
  int32_t startTimer(int32_t slot, int32_t periodMs) override {
    if (slot == kSlotPlayback) startNs = MonotonicNs();
    return PlayerWindow::startTimer(slot, periodMs);
  }
  void sendToConsole(int32_t wParam, int32_t lParam) override {
    const int64_t before = MonotonicNs();
    PlayerWindow::sendToConsole(wParam, lParam);
    roundTrips.push_back(static_cast<double>(MonotonicNs() - before) / 1e6);
  }
  int64_t startNs = 0;
  std::vector<double> roundTrips;
};

// The player: its window plays `song` from the start to the end through
// the console found under ZT_LINK_DIR, then leaves the playback timer's
// start and every request's round trip in `recordPath`.
[[noreturn]] void RunPlayer(SongState song, const std::string& recordPath) {
  int argc = 1;
  char name[] = "lettore";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  ControlTable_create();
  playbackState = PlaybackState{};
  LinkClient link(2000);
  if (!link.find(kConsoleCaption)) {
    std::fprintf(stderr, "player: no console\n");
    _exit(1);
  }
  TimedPlayerWindow window(link);
  window.create();
  window.show();
  // As a load leaves them.
  songState = std::move(song);
  playbackState.fileName = "timing.mid";
  QTimer::singleShot(200, &window, [&window] { Player_proc(window, {WM_COMMAND, kIdPlay, 0}); });
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (window.startNs != 0 && timerTable.TimerSlot[kSlotPlayback] == 0) app.quit();
  });
  watch.start(20);
  app.exec();
  std::ofstream out(recordPath, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&window.startNs), sizeof window.startNs);
  out.write(reinterpret_cast<const char*>(window.roundTrips.data()),
            static_cast<std::streamsize>(window.roundTrips.size() * sizeof(double)));
  window.close();
  _exit(out ? 0 : 1);
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t i = static_cast<size_t>(std::lround(p * static_cast<double>(values.size() - 1)));
  return values[i];
}

// One song through a fresh console. Returns false when the run failed.
bool Play(const char* title, SongState song) {
  // A server of its own for each console, as each run of the program has.
  test::JackServer server;
  if (!server.start()) {
    std::fprintf(stderr, "%s\n", server.error().c_str());
    return false;
  }
  const std::string dir =
      std::filesystem::temp_directory_path().string() + "/zt-timing-" + std::to_string(getpid());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string recordPath = dir + "/stamps.rec";
  setenv("ZT_LINK_DIR", dir.c_str(), 1);

  int ready[2];
  if (pipe(ready) != 0) return false;
  std::fflush(stdout);
  const pid_t console = fork();
  if (console < 0) return false;
  if (console == 0) {
    close(ready[0]);
    RunConsole(dir, recordPath, ready[1]);
  }
  close(ready[1]);
  char byte = 0;
  if (read(ready[0], &byte, 1) != 1) {
    std::fprintf(stderr, "the console did not start\n");
    return false;
  }
  close(ready[0]);

  const std::vector<Planned> planned = Replay(song);
  const TempoMap tempo(song, song.BPM);
  const std::string loadBefore = LoadAverage();

  const double songSeconds = tempo.Seconds(song.SongEndTick);
  const std::string playerPath = dir + "/player.rec";
  std::fflush(stdout);
  const pid_t player = fork();
  if (player < 0) return false;
  if (player == 0) RunPlayer(std::move(song), playerPath);
  int playerStatus = 0;
  waitpid(player, &playerStatus, 0);
  int64_t startNs = 0;
  std::vector<double> roundTrips;
  {
    std::ifstream in(playerPath, std::ios::binary);
    in.read(reinterpret_cast<char*>(&startNs), sizeof startNs);
    double d;
    while (in.read(reinterpret_cast<char*>(&d), sizeof d)) roundTrips.push_back(d);
  }
  const std::string loadAfter = LoadAverage();
  kill(console, SIGTERM);
  int status = 0;
  waitpid(console, &status, 0);
  std::vector<Stamp> stamps;
  {
    std::ifstream in(recordPath, std::ios::binary);
    Stamp s;
    while (in.read(reinterpret_cast<char*>(&s), sizeof s)) stamps.push_back(s);
  }
  std::filesystem::remove_all(dir);

  // Each request in the order sent; all notes off is sixteen messages.
  std::vector<double> againstTick, againstIdeal;
  size_t at = 0;
  int64_t missing = 0, events = 0;
  double lastTick = 0, lastIdeal = 0;
  int64_t firstNs = 0, lastNs = 0;
  for (const Planned& p : planned) {
    if (p.lParam == 0) {
      for (int c = 0; c < 16 && at < stamps.size(); ++c) ++at;
      continue;
    }
    ++events;
    size_t j = at;
    while (j < stamps.size() && stamps[j].message != static_cast<uint32_t>(p.lParam)) ++j;
    if (j == stamps.size()) {
      ++missing;
      continue;
    }
    at = j + 1;
    const double ms = static_cast<double>(stamps[j].ns - startNs) / 1e6;
    lastTick = ms - static_cast<double>(p.tick * kPlaybackPeriodMs);
    lastIdeal = ms - tempo.Seconds(p.songTick) * 1000.0;
    againstTick.push_back(lastTick);
    againstIdeal.push_back(lastIdeal);
    lastNs = stamps[j].ns;
    if (firstNs == 0) firstNs = lastNs;
  }
  const double took = static_cast<double>(lastNs - startNs) / 1e9;
  std::printf("%s (%s): %.1f s, %lld events (%.0f a second asked)   load %s before, %s after\n",
              title, std::getenv("QT_QPA_PLATFORM"), songSeconds, static_cast<long long>(events),
              static_cast<double>(events) / songSeconds, loadBefore.c_str(), loadAfter.c_str());
  std::printf("  took %.2f s to the last event: %.0f events a second taken; %lld never arrived\n",
              took, static_cast<double>(events) / (static_cast<double>(lastNs - firstNs) / 1e9),
              static_cast<long long>(missing));
  std::printf("  against its tick (ms): p50 %.2f  p99 %.2f  max %.2f;  last event %.2f\n",
              Percentile(againstTick, 0.5), Percentile(againstTick, 0.99),
              againstTick.empty() ? 0 : *std::max_element(againstTick.begin(), againstTick.end()),
              lastTick);
  std::printf(
      "  against its ideal time (ms): p50 %.2f  p99 %.2f  max %.2f;  last event %.2f\n",
      Percentile(againstIdeal, 0.5), Percentile(againstIdeal, 0.99),
      againstIdeal.empty() ? 0 : *std::max_element(againstIdeal.begin(), againstIdeal.end()),
      lastIdeal);
  std::printf("  player's round trip per request (ms): p50 %.3f  p99 %.3f  max %.3f\n",
              Percentile(roundTrips, 0.5), Percentile(roundTrips, 0.99),
              roundTrips.empty() ? 0 : *std::max_element(roundTrips.begin(), roundTrips.end()));
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && WIFEXITED(playerStatus) &&
         WEXITSTATUS(playerStatus) == 0 && missing == 0 && startNs != 0;
}

int Run(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("ZT_MIDI_API", "jack", 1);
  setenv("ZT_AUDIO_DRIVER", "none", 1);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) args = {"song", "180", "rate", "1920", "24", "rate", "5000", "20"};
  bool ok = true;
  for (size_t i = 0; i < args.size();) {
    if (args[i] == "song" && i + 1 < args.size()) {
      const double seconds = std::atof(args[i + 1].c_str());
      ok = Play("song with a tempo change every 8 beats", MakeSong(seconds)) && ok;
      i += 2;
    } else if (args[i] == "rate" && i + 2 < args.size()) {
      const double rate = std::atof(args[i + 1].c_str());
      const double seconds = std::atof(args[i + 2].c_str());
      ok = Play("song of evenly spread notes", MakeRateSong(rate, seconds)) && ok;
      i += 3;
    } else {
      std::fprintf(stderr, "usage: timing_harness [song SECONDS | rate EVENTS SECONDS] ...\n");
      return 2;
    }
  }
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace zt

int main(int argc, char** argv) { return zt::Run(argc, argv); }
