// console-shot: starts the console in the current directory (with its
// "consolle.cfg", preset files and "logus.bmp") on memory MIDI devices, marks
// a few keys on both keyboards, saves the whole window as a PNG and ends.
//
//   console-shot FILE.png
#include <QApplication>
#include <QMenuBar>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/midi_message.h"
#include "console/app/window/console_proc.h"
#include "console/app/window/console_startup.h"
#include "console/app/window/console_window.h"
#include "console/engine/engine.h"
#include "platform/midi/memory_midi.h"

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
    std::printf("usage: console-shot FILE.png\n");
    return argc == 2 ? 0 : 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  zt::MidiOut out;
  zt::MidiIn in;
  out.addDriver(std::make_shared<zt::MemoryMidiOutDriver>(std::vector<std::string>{"FluidSynth"}));
  in.addDriver(std::make_shared<zt::MemoryMidiInDriver>(std::vector<std::string>{"ZT input"}));
  // Nothing to wait for: the shot does not sound.
  zt::windowPlatform.sleep = [](int) {};
  const QString file = QString::fromLocal8Bit(argv[1]);
  bool saved = false;
  zt::ConsoleHooks hooks;
  hooks.onStep = [&](const char* step) {
    if (std::strcmp(step, "shown") != 0) return;
    // A chord on the upper keyboard (channel 0), a note with its added
    // note, and a note of channel 5 on the lower one.
    zt::Midi_noteon(48, 127, 0, zt::kKeyboardUpper);
    zt::Midi_noteon(52, 127, 0, zt::kKeyboardUpper);
    zt::Midi_noteon(55, 127, 0, zt::kKeyboardUpper);
    zt::Midi_fromplayer(zt::MidiMessage(zt::kNoteOn + 5, 40, 100).word, 0);
    zt::Note_show(55);
    zt::Display_status("<Canale: 0 Nota: 55 Velocit\xE0: 100 OnOff: 1 1234ms");
    zt::ConsoleWindow* window = zt::Window_current();
    // Everything the panel holds, whatever the screen's size.
    window->showNormal();
    window->resize(1030, 690 + window->menuBar()->sizeHint().height());
    app.processEvents();
    saved = window->grab().save(file);
    zt::Console_end(0);
  };
  zt::Console_run(out, in, hooks);
  if (!saved) {
    std::fprintf(stderr, "console-shot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
