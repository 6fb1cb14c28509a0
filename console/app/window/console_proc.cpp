#include "console/app/window/console_proc.h"

#include <QString>
#include <cmath>
#include <cstring>
#include <string>

#include "console/app/files/about_box.h"
#include "console/app/files/presets.h"
#include "console/app/files/program_list.h"
#include "console/app/files/program_names.h"
#include "console/app/window/console_launch.h"
#include "console/app/window/console_window.h"
#include "console/app/window/device_dialogs.h"
#include "console/app/window/keyboard_display.h"
#include "console/app/window/standard_lists.h"
#include "console/app/window/window_display.h"
#include "console/engine/engine.h"
#include "controls/buttons_lamps.h"
#include "controls/control_table.h"
#include "controls/cursor_values.h"
#include "controls/input_state.h"
#include "controls/knob.h"
#include "controls/meters.h"
#include "controls/text_codec.h"

namespace zt {

int lightStep = 0;

namespace {

// 2.55 as a 32-bit float, as the bars and the knob scale with it.
constexpr double kVolumeFactor = static_cast<double>(2.55f);

bool inRange(int id, int base) { return id >= base + 1 && id <= base + kRegisters; }

void showRegisterButton(int r) {
  Display_register(r, consoleState.regName[r], 100 * consoleState.regOn[r]);
}

// The press look of a push button around its action: shown pressed, the
// action runs, 300 ms pass with the new state on the screen, shown released.
template <typename Action>
void pressButton(int id, Action action) {
  Ctl_buttonflip(mainWindow, id, "");
  action();
  Window_pause(300);
  Ctl_buttonflip(mainWindow, id, "");
}

void showVolumeBar(int r) {
  const int v = consoleState.regVolume[r];
  Display_meter(kVolumeBarBase + r, Text_str(v * 100 / 255), v * 100.0 / 255);
}

void showShiftBar(int r) {
  const int v = consoleState.regShift[r];
  Display_meter(kShiftBarBase + r, Text_str(v), (12 + v) * 100.0 / 24);
}

void showMultiStepper(int r, double level) {
  Display_meter(kMultiStepperBase + r, Text_str(consoleState.regMulti[r]), level);
}

// A button that changes every register at once: pressed, the command runs,
// and the register control it changed is redrawn for every register.
template <typename Show>
void pressRegisterButton(int id, void (*command)(), Show show) {
  pressButton(id, [&] {
    command();
    for (int r = 1; r <= kRegisters; ++r) show(r);
  });
}

void presetSwitch(const char* name) {
  // The switch goes on after a failed save: the organist has been told,
  // and a folder that cannot be written would otherwise hold the console
  // on this preset for good.
  Console_save(true);
  presetName = name;
  Preset_load(presetName);
  Soundfont_load();
}

void command(int id) {
  ConsoleState& s = consoleState;
  if (id >= kRegisterButtonBase && id <= kRegisterButtonBase + kRegisters) {
    const int r = id - kRegisterButtonBase;
    if (r < 1) return;
    Reg_toggle(r);
    showRegisterButton(r);
    return;
  }
  if (id >= kPanSwitchBase && id <= kPanSwitchBase + kRegisters) {
    const int r = id - kPanSwitchBase;
    if (r < 1) return;
    Reg_pancycle(r);
    Display_meter(id, Pan_text(s.regPan[r]), 100);
    return;
  }
  switch (id) {
    case kButtonVolumesFull: pressRegisterButton(id, Reg_volumesfull, showVolumeBar); break;
    case kButtonResetShift: pressRegisterButton(id, Reg_resetshift, showShiftBar); break;
    case kButtonRegistersOff:
    case kButtonRegistersOn:
      pressButton(id, [id] {
        // The state first, then the buttons, then all notes off.
        for (int r = 1; r <= kRegisters; ++r)
          consoleState.regOn[r] = id == kButtonRegistersOn ? 1 : 0;
        for (int r = 1; r <= kRegisters; ++r) showRegisterButton(r);
        Midi_notesoff();
      });
      break;
    case kButtonRegistersFromTable:
      pressRegisterButton(id, Reg_fromtable, showRegisterButton);
      break;
    case kButtonResetMulti:
      pressRegisterButton(id, Reg_resetmulti, [](int r) { showMultiStepper(r, 100); });
      break;
    case kButtonNoteOff: pressButton(id, [] { Midi_notesoff(); }); break;
    case kKeyboardUpper:
    case kKeyboardLower: Key_play(Key_at(id), id); break;
    case kCmdCancel: Console_end(1); break;
    case kCmdAbout: Window_message(About_text()); break;
    case kCmdPlayer: Player_start(); break;
    case kCmdPreset0: presetSwitch("consolle"); break;
    case kCmdPreset1: presetSwitch("consolle1"); break;
    case kCmdPreset2: presetSwitch("consolle2"); break;
    case kCmdMidiOut: Device_outdialog(); break;
    case kCmdMidiIn: Device_indialog(); break;
    case kCmdSoundfontList: Soundfont_load(); break;
    case kCmdEnd: Console_end(0); break;
    default: break;
  }
}

// One step of the program stepper: its caption shows the direction for
// 200 ms, then the stored program number moves and the label follows.
void programStep(int r, const char* caption, int direction) {
  const int id = kProgramStepperBase + r;
  Display_meter(id, caption, kLevelUnchanged);
  Window_pause(200);
  Display_meter(id, "-+", kLevelUnchanged);
  Reg_programstep(r, direction);
  showRegisterButton(r);
}

void multiStep(int r, int direction) {
  Reg_multistep(r, direction);
  showMultiStepper(r, 100.0 * consoleState.regMulti[r]);
}

void shiftBar(int r) {
  Midi_notesoff();
  int v = Round_even(Ctl_valuex(mainWindow, kShiftBarBase + r) * 24.0 / 100.0 - 12.0);
  v = v < -12 ? -12 : v > 12 ? 12 : v;
  consoleState.regShift[r] = v;
  showShiftBar(r);
}

void volumeBar(int r) {
  int v = Round_even(Ctl_valuex(mainWindow, kVolumeBarBase + r) * kVolumeFactor);
  v = v < 0 ? 0 : v > 255 ? 255 : v;
  consoleState.regVolume[r] = v;
  showVolumeBar(r);
}

void masterKnob() {
  Ctl_knobset(mainWindow, kMasterVolumeKnob,
              Round_even(Ctl_knobangle(mainWindow, kMasterVolumeKnob)));
  const ControlRecord* knob = Ctl_entry(kMasterVolumeKnob);
  const double percent = knob ? knob->value : 0;
  const int v = Round_even(percent * kVolumeFactor);
  for (int r = 1; r <= kRegisters; ++r) {
    consoleState.regVolume[r] = v;
    const double shown = v / kVolumeFactor;
    Display_meter(kVolumeBarBase + r, Text_str(static_cast<int64_t>(std::floor(shown))), shown);
  }
}

void setCursor(int id, uint32_t mouse) {
  // Reading the asynchronous states once clears their marks of a press, so
  // that the queries below see only whether a button is down.
  Input_keystate(Input_lbutton);
  Input_keystate(Input_rbutton);
  if (mouse == WM_LBUTTONUP) Midi_notesoff();
  if (mouse == WM_RBUTTONUP) {
    Midi_notesoff();
    Keyboard_draw(kKeyboardUpper, 0, -1);
  }
  auto held = [](int vk) { return Input_keystate(vk) == Input_held; };
  auto down = [](int vk) { return Input_keystate(vk) != 0; };

  if (inRange(id, kProgramStepperBase)) {
    // Both buttons held: up, then down, in the same message.
    const int r = id - kProgramStepperBase;
    if (held(Input_rbutton)) programStep(r, "+", +1);
    if (held(Input_lbutton)) programStep(r, "-", -1);
  } else if (inRange(id, kMultiStepperBase)) {
    const int r = id - kMultiStepperBase;
    if (held(Input_lbutton)) multiStep(r, -1);
    if (held(Input_rbutton)) multiStep(r, +1);
  } else if (id == kKeyboardUpper || id == kKeyboardLower) {
    Note_show(Key_at(id) + kKeyOffset);
    if (held(Input_rbutton)) {
      noteNamesOn = (noteNamesOn + 1) % 2;
      Window_pause(100);
    }
  } else if (inRange(id, kRegisterButtonBase)) {
    if (held(Input_rbutton)) {
      Program_listfill(id - kRegisterButtonBase);
      ProgramList_show();
    }
  } else if (inRange(id, kShiftBarBase)) {
    if (held(Input_lbutton)) shiftBar(id - kShiftBarBase);
  } else if (inRange(id, kVolumeBarBase)) {
    const int r = id - kVolumeBarBase;
    if (held(Input_lbutton)) volumeBar(r);
    if (down(Input_rbutton)) Reg_audition(r);
  } else if (id == kMasterVolumeKnob) {
    if (down(Input_lbutton)) masterKnob();
  }
}

void runningLight() {
  lightStep = lightStep + 1;
  if (lightStep >= 4) lightStep = 0;
  for (int k = 0; k < 4; ++k)
    Ctl_lampset(mainWindow, kRunningLightBase + k, k == lightStep ? 55 : 0, "");
}

}  // namespace

namespace {
bool endUnderWay = false;
}  // namespace

void Console_end(int code) {
  // An outside synthesiser keeps sounding whatever is still on: silence it
  // before the window goes, however the end came.
  const bool outermost = !endUnderWay;
  endUnderWay = true;
  Midi_notesoff();
  Window_end(code);
  if (outermost) endUnderWay = false;
}

bool Console_save(bool tell) {
  const std::vector<SaveFailure> failures = Preset_save();
  std::string text;
  for (const SaveFailure& f : failures) {
    // The reason in the user's language, as the system gives it.
    const std::string reason = Text_fromqt(QString::fromLocal8Bit(std::strerror(f.error)));
    const std::string line = "Impossibile salvare " + f.file + ": " + reason;
    Log_line(line);
    text += (text.empty() ? "" : "\n") + line;
  }
  if (tell && !text.empty()) Window_message(text);
  return failures.empty();
}

bool Console_ending() {
  if (endUnderWay) return true;
  const ConsoleWindow* window = Window_current();
  return window && window->ending();
}

int Console_playerrequest(int32_t wParam, int32_t lParam) {
  WindowDisplay_holdbegin();
  const int result = Console_proc({WM_PLAYER_MIDI, static_cast<uint32_t>(wParam), lParam});
  WindowDisplay_holdend();
  return result;
}

int Console_proc(const ConsoleMessage& msg) {
  switch (msg.message) {
    case WM_PLAYER_MIDI:
      if (msg.lParam == 0)
        Midi_notesoff();
      else
        Midi_fromplayer(static_cast<uint32_t>(msg.lParam), static_cast<int>(msg.wParam));
      return 0;
    case WM_COMMAND: {
      const int id = static_cast<int>(msg.wParam & 0xFFFF);
      command(id);
      return id == kCmdEnd ? 1 : 0;
    }
    case WM_INITDIALOG:
      Window_settimer(kRunningLightTimer, kRunningLightPeriodMs);
      Soundfont_load();
      return 0;
    case WM_TIMER:
      if (msg.wParam == static_cast<uint32_t>(kRunningLightTimer)) runningLight();
      return 0;
    case WM_SETCURSOR:
      setCursor(static_cast<int>(msg.wParam), static_cast<uint32_t>(msg.lParam) >> 16);
      return 0;
    case WM_SYSCOMMAND:
      if ((msg.wParam & 0xFFF0) == SC_CLOSE) Midi_notesoff();
      return 0;
    case WM_DESTROY: Window_killtimer(kRunningLightTimer); return 0;
    default: return 0;
  }
}

}  // namespace zt
