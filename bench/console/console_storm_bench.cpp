// The whole console under load, on the offscreen platform with a private
// JACK server: start-up to the window shown and the whole panel's first
// paint; then a note storm, 2000 notes per second through 32 drawn registers
// for 10 s from a keyboard client into "ZT input", the output going to a
// capture client. It prints the window thread's event-loop latency (a probe
// posted every 2 ms from another thread), the display requests dropped, the
// MIDI messages lost (the goal is none), and whether the final display shows
// the final state (every key released, the channel lamps off).
// Goal: event-loop latency p99 under 20 ms.
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "console/app/window/console_startup.h"
#include "console/app/window/console_window.h"
#include "console/app/window/keyboard_display.h"
#include "console/engine/engine.h"
#include "controls/control_table.h"
#include "platform/midi/default_devices.h"
#include "tests/support/jack_fixture.h"

using namespace zt;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[size_t(p * double(v.size() - 1))];
}

bool connected(test::JackMidiClient& c, const std::string& port) {
  const char** all = jack_port_get_all_connections(c.client(), jack_port_by_name(c.client(), port.c_str()));
  const bool any = all && all[0];
  if (all) jack_free(all);
  return any;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const int notesPerSecond = 2000;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("ZT_MIDI_API", "jack", 1);
  setenv("ZT_AUDIO_DRIVER", "none", 1);
  test::JackServer server;
  if (!server.start()) {
    std::fprintf(stderr, "%s\n", server.error().c_str());
    return 1;
  }
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("zt-storm-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);

  int status = 0;
  {
    const size_t presses = size_t(seconds) * notesPerSecond;
    test::JackMidiClient keyboard("kbd", true, false);
    test::JackMidiClient capture("capture", false, true, presses * 131 + 4096);
    MidiOut out;
    MidiIn in;
    Platform_mididevices(out, in);
    int device = -1;
    for (int i = 0; i < out.count(); ++i) {
      std::string name;
      if (out.name(i, name) == MIDI_OK && name == "capture:in") device = i;
    }
    std::ofstream("consolle.cfg", std::ios::binary)
        << " " << device << " Midi Out\r\n 0 Midi In\r\n";
    {
      std::ofstream preset("consolle.ini", std::ios::binary);
      for (int r = 1; r <= kRegisters; ++r) preset << " 1 , 19 Church Organ, 200 , 0 , 0 , 0 \r\n";
    }

    QApplication app(argc, argv);
    const Clock::time_point t0 = Clock::now();
    Clock::time_point shownAt{}, paintedAt{};
    std::vector<std::pair<std::string, double>> steps;
    std::vector<double> latencies;
    std::atomic<bool> stormDone{false}, probing{true};
    std::thread storm, probe;
    size_t sentPresses = 0, sentReleases = 0;
    size_t captureBefore = 0;
    uint64_t droppedBefore = 0;
    bool finalTrue = false;

    auto runStorm = [&] {
      enginePlatform.closeWaitMs = 0;
      const std::string input = test::Jack_findport(keyboard.client(), ":ZT input$", JackPortIsInput);
      test::Jack_connect(keyboard.client(), keyboard.outName(), input);
      test::Wait_until([&] { return connected(keyboard, keyboard.outName()) && connected(capture, capture.inName()); },
                       3000ms);
      std::this_thread::sleep_for(200ms);
      captureBefore = capture.capturedCount();
      droppedBefore = Display_dropped();
      probe = std::thread([&] {
        while (probing.load()) {
          const Clock::time_point posted = Clock::now();
          QMetaObject::invokeMethod(
              &app, [&latencies, posted] { latencies.push_back(ms(Clock::now() - posted)); },
              Qt::QueuedConnection);
          std::this_thread::sleep_for(2ms);
        }
      });
      storm = std::thread([&] {
        // Every millisecond two keys go down, one on each keyboard's
        // channel, and the two pressed 5 ms earlier come up.
        std::vector<std::pair<uint8_t, uint8_t>> down;  // (status channel, note)
        Clock::time_point next = Clock::now();
        for (size_t i = 0; i < presses / 2; ++i) {
          for (uint8_t ch = 0; ch < 2; ++ch) {
            const uint8_t note = uint8_t(36 + (i * 7 + ch * 5) % 60);
            keyboard.send({uint8_t(0x90 | ch), note, 100});
            down.push_back({ch, note});
            ++sentPresses;
          }
          while (down.size() > 10) {
            keyboard.send({uint8_t(0x80 | down.front().first), down.front().second, 0});
            down.erase(down.begin());
            ++sentReleases;
          }
          next += 1ms;
          std::this_thread::sleep_until(next);
        }
        for (auto& [ch, note] : down) {
          keyboard.send({uint8_t(0x80 | ch), note, 0});
          ++sentReleases;
        }
        stormDone = true;
      });
      auto* poll = new QTimer(&app);
      QObject::connect(poll, &QTimer::timeout, [&, poll] {
        if (!stormDone.load()) return;
        poll->stop();
        storm.join();
        // Let the last messages through and the display settle.
        const size_t expected = sentPresses * (3 * kRegisters + 1) + sentReleases * (kRegisters + 1);
        capture.waitCaptured(captureBefore + expected, 5000ms);
        QTimer::singleShot(500, [&] {
          probing = false;
          probe.join();
          Display_drain();
          finalTrue = true;
          for (int id : {kKeyboardUpper, kKeyboardLower}) {
            ControlWidget* w = Keyboard_display(id);
            finalTrue = finalTrue && w && w->image() == keyboardImage;
          }
          finalTrue = finalTrue && Ctl_entry(130)->value == kLampOff;
          const size_t got = capture.capturedCount() - captureBefore;
          std::printf("note storm: %zu presses and %zu releases in %d s through 32 registers\n", sentPresses,
                      sentReleases, seconds);
          std::printf("  MIDI out: %zu of %zu messages captured (%zu lost)\n", got, expected,
                      expected > got ? expected - got : 0);
          std::printf("  display requests dropped by the queue: %llu\n",
                      static_cast<unsigned long long>(Display_dropped() - droppedBefore));
          std::printf("  window event-loop latency over %zu probes: p50 %.2f ms, p99 %.2f ms, max %.2f ms "
                      "(goal p99 < 20 ms)\n",
                      latencies.size(), percentile(latencies, 0.5), percentile(latencies, 0.99),
                      percentile(latencies, 1.0));
          std::printf("  final display true to the final state: %s\n", finalTrue ? "yes" : "NO");
          if (!finalTrue || got != expected) status = 1;
          Window_end(0);
        });
      });
      poll->start(100);
    };

    ConsoleHooks hooks;
    hooks.onStep = [&](const char* step) {
      steps.emplace_back(step, ms(Clock::now() - t0));
      if (std::string(step) == "shown") {
        shownAt = Clock::now();
        // The whole window painted at once: every control's image copied.
        if (ConsoleWindow* w = Window_current()) w->repaint();
        paintedAt = Clock::now();
        QTimer::singleShot(0, runStorm);
      }
    };
    Console_run(out, in, hooks);

    std::printf("start-up (offscreen, JACK MIDI, embedded synth without audio):\n");
    for (auto& [name, at] : steps) std::printf("  %-9s %8.1f ms\n", name.c_str(), at);
    std::printf("  start to window shown: %.1f ms; whole panel's first paint: %.1f ms\n", ms(shownAt - t0),
                ms(paintedAt - shownAt));
  }
  std::filesystem::current_path("/");
  std::filesystem::remove_all(dir);
  server.stop();
  return status;
}
