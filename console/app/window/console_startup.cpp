#include "console/app/window/console_startup.h"

#include <signal.h>

#include <QApplication>
#include <QMenuBar>
#include <memory>
#include <string>

#include "common/window_messages.h"
#include "console/app/files/file_fields.h"
#include "console/app/files/presets.h"
#include "console/app/files/program_list.h"
#include "console/app/files/program_names.h"
#include "console/app/window/console_launch.h"
#include "console/app/window/console_panel.h"
#include "console/app/window/console_proc.h"
#include "console/app/window/console_window.h"
#include "console/app/window/device_watch.h"
#include "console/app/window/keyboard_display.h"
#include "console/app/window/standard_lists.h"
#include "console/app/window/window_display.h"
#include "console/engine/engine.h"
#include "controls/control_table.h"
#include "platform/link/link_server.h"
#include "platform/midi/backend_probe.h"
#include "platform/midi/port_names.h"
#include "platform/signals/end_signals.h"

namespace zt {

namespace {

// The line of "consolle.cfg" as it stands, to tell a number from letters.
std::string configLine(int n) {
  LineFile file(kConfigFile);
  std::string line;
  for (int i = 0; i < n; ++i)
    if (!file.next(line)) return {};
  return line;
}

bool startsWithNumber(std::string_view line) {
  std::string_view t = Text_strip(line);
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
  return !t.empty() && t[0] >= '0' && t[0] <= '9';
}

// One device at start-up: the chosen device's name wins over its number
// when its port is there; otherwise the number's device opens, and the
// chosen one later, once it appears (Midi_hotplug). A device that stands in
// never becomes the choice: "consolle.cfg" keeps the chosen number.
void checkDevice(RelaxedInt& device, DeviceChoice& choice, const std::vector<std::string>& list,
                 int lineNo, const char* what) {
  const std::string line = configLine(lineNo);
  const bool present = !Text_strip(line).empty();
  const int n = device;
  const int count = static_cast<int>(list.size());
  if (present && !startsWithNumber(line)) {
    // Letters are no choice at all.
    Log_line(std::string(kConfigFile) + ": riga" + Text_str(lineNo) + " senza numero, " + what +
             " 0");
    device = 0;
    choice = DeviceChoice{};
    return;
  }
  if (!choice.name.empty()) {
    const int found = Midi_findstable(list, choice.name);
    if (found >= 0) {
      device = found;
      choice.number = found;
      return;
    }
    if (n < 0 || n >= count) device = 0;
    choice.absent = choice.standIn = true;
    Log_line(std::string(what) + " " + choice.name + " assente, " + what + Text_str(device));
    return;
  }
  if (n < 0 || n >= count) {
    // With no device of the kind at all there is nothing better than 0.
    if (count > 0 || n != 0)
      Log_line(std::string(kConfigFile) + ": " + what + Text_str(n) + " non presente, " + what +
               " 0");
    device = 0;
    // A number that could be a device stays the choice; a negative one is none.
    choice.standIn = n > 0;
    if (n < 0) choice.number = 0;
    return;
  }
  // A choice known by number only is remembered by its name from now on.
  choice.name = Midi_stablename(list[n]);
}

// Whether a signal ended the console: nobody may be at the window then, so
// the end tells of a failed save in the log only.
bool endedBySignal = false;

// A signal ends the console even while a dialog or a message box waits for
// the user: they are dismissed first. Once the window has ended (the box of
// a failed save at the end) there is nothing more to end.
void endOnSignal(int) {
  endedBySignal = true;
  for (int i = 0; i < 8; ++i) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) break;
    modal->close();
  }
  if (!Console_ending()) Console_end(0);
}

}  // namespace

void Config_check() {
  MidiOut* out = enginePlatform.midiOut;
  MidiIn* in = enginePlatform.midiIn;
  checkDevice(consoleState.midiOutDevice, midiOutChoice,
              out ? out->list() : std::vector<std::string>(), 1, "Midi out");
  checkDevice(consoleState.midiInDevice, midiInChoice, in ? in->list() : std::vector<std::string>(),
              2, "Midi in");
}

int Console_run(MidiOut& out, MidiIn& in, const ConsoleHooks& hooks,
                const PortWatchOpener& watchPorts) {
  auto step = [&hooks](const char* name) {
    if (hooks.onStep) hooks.onStep(name);
  };

  // 1. State, tables and the control table; the window draws what the
  // engine shows from now on.
  ControlTable_create();
  State_reset();
  for (std::string& name : programName) name.clear();
  Keyboard_reset();
  programList = ProgramList{};
  lightStep = 0;
  windowColor = kDefaultWindowColour;
  endedBySignal = false;
  Engine_attach(out, in);
  Midi_hotplugreset();
  enginePlatform.pause = Window_pause;
  MessageLog_open();
  WindowDisplay_start();
  // From now on SIGTERM and SIGINT end the console in order: in the window's
  // run through its loop, before it through the checks below.
  Signals_watch({SIGTERM, SIGINT}, endOnSignal);
  // 2.
  presetName = kPresetNames[0];
  step("state");
  // 3.
  consoleState.synthFound = Midi_findsynth();
  step("synth");
  // 4.
  Config_load();
  Config_loadnames();
  Config_check();
  step("config");
  // 5.
  QMenuBar* menus = Console_menus();
  step("menus");
  // 6.
  auto* window = new ConsoleWindow;
  step("window");
  // 7.
  Console_controls(window->client());
  window->setMenuBar(menus);
  step("controls");
  // 8. A signal while the batch runs stops it, and the console ends at
  // once: no device is opened and the window is never shown, but the names
  // and the preset are still read, so that the saves at the end write back
  // what the files held rather than an empty preset.
  const bool endRequested = !Soundfont_runbatch([] { return Signals_take() != 0; });
  step("batch");
  if (!endRequested) {
    // 9.
    if (!Midi_openin(consoleState.midiInDevice)) {
      // Without a MIDI server this is the one line that says so.
      const std::string why = Midi_backendproblem();
      Log_line("Open Midi Device In" + Text_str(consoleState.midiInDevice) +
               " errore: " + (why.empty() ? std::string() : why + ", ") + "nessun ingresso MIDI");
    } else if (!Midi_startin()) {
      Log_line("Start Midi Device In" + Text_str(consoleState.midiInDevice) + " errore");
    }
    step("input");
    // 10.
    consoleState.outChannel = 0;
    step("channel");
    // 11.
    Midi_openout(consoleState.midiOutDevice);
    if (consoleState.hMidiOut == 0 && consoleState.midiOutDevice != 0) {
      // Without an output every key would end the console: the embedded
      // synthesiser stands in for a device that will not open.
      Log_line("Midi out" + Text_str(consoleState.midiOutDevice) + " non aperto, Midi out 0");
      // The choice stays what it was, for "consolle.cfg" and for later.
      if (!midiOutChoice.standIn) midiOutChoice.number = consoleState.midiOutDevice;
      midiOutChoice.standIn = true;
      consoleState.midiOutDevice = 0;
      Midi_openout(0);
    }
    step("output");
  }
  // 12.
  Program_tablefill();
  step("programs");
  // 13.
  Preset_load(presetName);
  step("preset");
  // The player's link: each request reaches Console_proc on this thread
  // while the window runs, and is answered once handled (its drawing comes
  // after the answer).
  auto link = std::make_unique<LinkServer>(Console_playerrequest);
  if (!link->listen(kConsoleCaption))
    Log_line("Lettore: collegamento non aperto, " + link->errorText());
  // 14. A signal during steps 9 to 13 is still waiting in the pipe: the
  // console then ends as from the window (all notes off), without showing it.
  if (endRequested)
    Window_end(0);
  else if (Signals_take() != 0) {
    endedBySignal = true;
    Console_end(0);
  }
  // The ports are followed while the window runs: chosen devices that come
  // and go, keyboards that appear.
  if (!endRequested) DeviceWatch_start(watchPorts, Midi_autoconnectfromenv());
  auto shown = [&] { step("shown"); };
  QMetaObject::invokeMethod(window, shown, Qt::QueuedConnection);
  window->run();
  // No player request may reach an output that is closing, and no change of
  // the ports may reopen one.
  link.reset();
  DeviceWatch_stop();
  // 15. (A second signal meanwhile finds the handlers still there: the
  // saves always complete, and a signal only dismisses the box that tells
  // of a failed one.)
  if (!endRequested) {
    Midi_closein();
    Midi_closeout();
  }
  step("closed");
  Console_save(!endRequested && !endedBySignal);
  step("saved");
  Signals_restore();

  MessageLog_detach();
  delete window;
  WindowDisplay_stop();
  enginePlatform.pause = nullptr;
  return 0;
}

}  // namespace zt
