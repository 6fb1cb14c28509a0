// The whole console under load, on the offscreen platform with a private
// JACK server: start-up to the window shown and the whole panel's first
// paint; then a note storm, 2000 notes per second through 32 drawn registers
// for 10 s from a keyboard client into "ZT input".
//
// At that rate the console sends some 260 000 messages a second, more than
// one JACK MIDI port carries in a period, so the output is a counting device
// of the console's device list (a port that takes every message the way a
// driver does, without a wire behind it): every message the console sent is
// counted against every message the routing owes, kind by kind.
//
// It prints the window thread's event-loop latency (a probe posted every
// 2 ms from another thread), the display requests dropped, the MIDI messages
// lost (the goal is none), and whether the final display shows the final
// state (both keyboards unmarked, every channel lamp off). Exit status 1 when
// a message was lost or the display is wrong.
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

#include "common/midi_message.h"
#include "console/app/window/console_startup.h"
#include "console/app/window/console_window.h"
#include "console/app/window/keyboard_display.h"
#include "console/engine/engine.h"
#include "controls/control_table.h"
#include "platform/midi/default_devices.h"
#include "tests/support/engine_setup.h"
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

// An output device that counts what it is sent, by kind: note-ons (with
// velocity), note-offs (and note-ons at velocity 0), program changes,
// controllers. Sending is two relaxed increments, as cheap as a real port.
class CountingOutDriver : public MidiOutDriver {
 public:
  static constexpr const char* kName = "storm counter";
  std::atomic<uint64_t> noteOn{0}, noteOff{0}, program{0}, controller{0}, other{0};

  uint64_t total() const { return noteOn + noteOff + program + controller + other; }
  int portCount() override { return 1; }
  std::string portName(int port) override { return port == 0 ? kName : std::string(); }
  int openPort(int port, std::unique_ptr<MidiOutPort>& opened) override {
    if (port != 0) return MIDIERR_BADDEVICEID;
    opened = std::make_unique<Port>(*this);
    return MIDI_OK;
  }

 private:
  class Port : public MidiOutPort {
   public:
    explicit Port(CountingOutDriver& d) : d_(d) {}
    int send(uint32_t m) override {
      const MidiMessage message(m);
      const int kind = message.kind();
      std::atomic<uint64_t>& c = message.isRelease()      ? d_.noteOff
                                 : kind == kNoteOn        ? d_.noteOn
                                 : kind == kProgramChange ? d_.program
                                 : kind == kControlChange ? d_.controller
                                                          : d_.other;
      c.fetch_add(1, std::memory_order_relaxed);
      return MIDI_OK;
    }

   private:
    CountingOutDriver& d_;
  };
};

bool connected(test::JackMidiClient& c, const std::string& port) {
  const char** all =
      jack_port_get_all_connections(c.client(), jack_port_by_name(c.client(), port.c_str()));
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
    MidiOut out;
    MidiIn in;
    Platform_mididevices(out, in);
    auto counter = std::make_shared<CountingOutDriver>();
    out.addDriver(counter);
    test::Console_writesettings(".", test::Engine_outputnamed(out, CountingOutDriver::kName),
                                kRegisters);

    QApplication app(argc, argv);
    const Clock::time_point t0 = Clock::now();
    Clock::time_point shownAt{}, paintedAt{};
    std::vector<std::pair<std::string, double>> steps;
    std::vector<double> latencies;
    std::atomic<bool> stormDone{false}, probing{true};
    std::thread storm, probe;
    size_t sentPresses = 0, sentReleases = 0;
    uint64_t countBefore = 0, noteOnBefore = 0, noteOffBefore = 0;
    uint64_t droppedBefore = 0;
    bool finalTrue = false;

    auto runStorm = [&] {
      enginePlatform.closeWaitMs = 0;
      const std::string input =
          test::Jack_findport(keyboard.client(), ":ZT input$", JackPortIsInput);
      test::Jack_connect(keyboard.client(), keyboard.outName(), input);
      test::Wait_until([&] { return connected(keyboard, keyboard.outName()); }, 3000ms);
      std::this_thread::sleep_for(200ms);
      countBefore = counter->total();
      noteOnBefore = counter->noteOn;
      noteOffBefore = counter->noteOff;
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
            keyboard.send({uint8_t(kNoteOn | ch), note, 100});
            down.push_back({ch, note});
            ++sentPresses;
          }
          while (down.size() > 10) {
            keyboard.send({uint8_t(kNoteOff | down.front().first), down.front().second, 0});
            down.erase(down.begin());
            ++sentReleases;
          }
          next += 1ms;
          std::this_thread::sleep_until(next);
        }
        for (auto& [ch, note] : down) {
          keyboard.send({uint8_t(kNoteOff | ch), note, 0});
          ++sentReleases;
        }
        stormDone = true;
      });
      auto* poll = new QTimer(&app);
      QObject::connect(poll, &QTimer::timeout, [&, poll] {
        if (!stormDone.load()) return;
        poll->stop();
        storm.join();
        // The storm is over: the latency is measured while it lasted.
        probing = false;
        probe.join();
        // Let the last messages through and the display settle.
        const uint64_t expected =
            sentPresses * (3 * kRegisters + 1) + sentReleases * (kRegisters + 1);
        test::Wait_until([&] { return counter->total() - countBefore >= expected; }, 5000ms);
        QTimer::singleShot(500, [&, expected] {
          Display_drain();
          // Both keyboards unmarked, no channel lamp lit: what the
          // state is once every key is up.
          int keyboardsTrue = 0, lampsOff = 0;
          for (int id : {kKeyboardUpper, kKeyboardLower}) {
            ControlWidget* w = Keyboard_display(id);
            keyboardsTrue += w && w->image() == keyboardImage;
          }
          // (A lamp no key ever lit keeps its first look, which is not lit either.)
          for (int c = 0; c < 16; ++c) lampsOff += Ctl_entry(130 + c)->value != kLampOn;
          finalTrue = keyboardsTrue == 2 && lampsOff == 16;
          const uint64_t got = counter->total() - countBefore;
          const uint64_t ons = counter->noteOn - noteOnBefore,
                         offs = counter->noteOff - noteOffBefore;
          std::printf("note storm: %zu presses and %zu releases in %d s through 32 registers\n",
                      sentPresses, sentReleases, seconds);
          std::printf(
              "  MIDI out: %llu of %llu messages sent (%llu lost); note-ons %llu of %zu, note-offs "
              "%llu of %zu\n",
              static_cast<unsigned long long>(got), static_cast<unsigned long long>(expected),
              static_cast<unsigned long long>(expected > got ? expected - got : 0),
              static_cast<unsigned long long>(ons), sentPresses * (kRegisters + 1),
              static_cast<unsigned long long>(offs), sentReleases * (kRegisters + 1));
          std::printf("  display requests dropped by the queue: %llu\n",
                      static_cast<unsigned long long>(Display_dropped() - droppedBefore));
          std::printf(
              "  window event-loop latency over %zu probes: p50 %.2f ms, p99 %.2f ms, max %.2f ms "
              "(goal p99 < 20 ms)\n",
              latencies.size(), percentile(latencies, 0.5), percentile(latencies, 0.99),
              percentile(latencies, 1.0));
          std::printf(
              "  final display true to the final state: %s (keyboards unmarked %d of 2, lamps "
              "unlit %d of 16)\n",
              finalTrue ? "yes" : "NO", keyboardsTrue, lampsOff);
          if (!finalTrue || got != expected || ons != sentPresses * (kRegisters + 1) ||
              offs != sentReleases * (kRegisters + 1))
            status = 1;
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
        // The whole window painted at once, into an image of its own: every
        // control's image copied (a repaint of an offscreen window that has
        // not been exposed yet may paint nothing).
        if (ConsoleWindow* w = Window_current()) (void)w->grab();
        paintedAt = Clock::now();
        QTimer::singleShot(0, runStorm);
      }
    };
    Console_run(out, in, hooks);

    std::printf("start-up (offscreen, JACK MIDI input, the counting output):\n");
    for (auto& [name, at] : steps) std::printf("  %-9s %8.1f ms\n", name.c_str(), at);
    std::printf("  start to window shown: %.1f ms; whole panel's first paint: %.1f ms\n",
                ms(shownAt - t0), ms(paintedAt - shownAt));
  }
  std::filesystem::current_path("/");
  std::filesystem::remove_all(dir);
  server.stop();
  return status;
}
