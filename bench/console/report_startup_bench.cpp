// Start-up with a soundfont report: the real console (offscreen, memory MIDI
// devices named like the sound card, so the report is read) in a temporary
// folder whose "caricati.txt" is one of several kinds. Each report line with
// a "]" goes to the message log, at start-up and again at every preset
// switch. For each kind it prints the time from start to the window shown,
// to the log filled and the whole window painted, and the time a preset
// switch takes with the log filled.
// Goal: a report of a megabyte of anything shows the window within a second.
//
//   bench_report_startup [KIND...]   kinds: 128 1000 3000 6000 random brackets
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "console/app/window/console_proc.h"
#include "console/app/window/console_startup.h"
#include "console/app/window/console_window.h"
#include "console/app/window/standard_lists.h"
#include "console/engine/control_ids.h"
#include "platform/midi/memory_midi.h"

using namespace zt;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The report's bytes for a kind: preset lines as a loader writes them, a
// megabyte of random bytes (NULs and all), or a megabyte of the shortest
// lines that are logged ("]").
std::string report(const std::string& kind) {
  std::string text = "SoundFont loader\r\nbank 0\r\n\r\nok\r\n";
  if (kind == "random") {
    std::mt19937 random(15);
    text.resize(1 << 20);
    for (char& c : text) c = static_cast<char>(random() & 0xFF);
  } else if (kind == "brackets") {
    while (text.size() < (1u << 20)) text += "]\r\n";
  } else {
    const int lines = std::stoi(kind);
    for (int i = 0; i < lines; ++i)
      text += "[" + std::to_string(i % 128) + "] Preset " + std::to_string(i) + "\r\n";
  }
  return text;
}

struct Figures {
  double shown = 0, settled = 0, painted = 0, presetSwitch = 0;
  int logLines = 0;
};

Figures run(const std::string& kind) {
  const fs::path dir = fs::temp_directory_path() / ("zt-report-bench-" + kind);
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::current_path(dir);
  {
    std::ofstream f("caricati.txt", std::ios::binary);
    f << report(kind);
  }
  setenv("ZT_LINK_DIR", dir.c_str(), 1);

  MidiOut out;
  MidiIn in;
  out.addDriver(std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"SB Live! Synth"}));
  in.addDriver(std::make_shared<MemoryMidiInDriver>(std::vector<std::string>{"ZT input"}));
  windowPlatform.sleep = [](int) {};
  windowPlatform.message = [](const std::string&) {};

  Figures f;
  const Clock::time_point t0 = Clock::now();
  ConsoleHooks hooks;
  hooks.onStep = [&](const char* step) {
    if (std::string(step) != "shown") return;
    f.shown = ms(Clock::now() - t0);
    // What the start-up left for the event loop (the log's lines among it)
    // runs before this; then the whole window is painted.
    QTimer::singleShot(0, [&] {
      f.settled = ms(Clock::now() - t0);
      if (ConsoleWindow* w = Window_current()) (void)w->grab();
      f.painted = ms(Clock::now() - t0);
      const Clock::time_point before = Clock::now();
      Console_proc(Msg_command(kCmdPreset1));
      QApplication::processEvents();
      if (ConsoleWindow* w = Window_current()) (void)w->grab();
      f.presetSwitch = ms(Clock::now() - before);
      f.logLines = MessageLog_count();
      Console_proc(Msg_command(kCmdEnd));
    });
  };
  Console_run(out, in, hooks);
  windowPlatform = WindowPlatform{};
  fs::current_path("/");
  fs::remove_all(dir);
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::vector<std::string> kinds;
  for (int i = 1; i < argc; ++i) kinds.emplace_back(argv[i]);
  if (kinds.empty()) kinds = {"128", "1000", "3000", "6000", "random", "brackets"};
  std::printf("%-10s %10s %12s %12s %14s %9s\n", "report", "shown ms", "log in ms", "painted ms",
              "preset sw. ms", "log lines");
  for (const std::string& kind : kinds) {
    const Figures f = run(kind);
    std::printf("%-10s %10.1f %12.1f %12.1f %14.1f %9d\n", kind.c_str(), f.shown, f.settled,
                f.painted, f.presetSwitch, f.logLines);
    std::fflush(stdout);
  }
  return 0;
}
