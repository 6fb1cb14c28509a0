#include "console/app/window/console_proc.h"

#include <QString>
#include <cmath>
#include <cstring>
#include <string>

#include "console/app/files/about_box.h"
#include "console/app/files/presets.h"
#include "console/app/files/program_list.h"
#include "console/app/files/program_names.h"
#include "console/app/files/register_view.h"
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

bool inRange(int id, int base) { return id >= base + 1 && id <= base + kRegisters; }

// The press look of a push button around its action: shown pressed, the
// action runs, 300 ms pass with the new state on the screen, shown released.
template <typename Action>
void pressButton(int id, Action action) {
  Ctl_buttonflip(mainWindow, id, "");
  action();
  Window_pause(300);
  Ctl_buttonflip(mainWindow, id, "");
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
  if (id >= kRegisterButtonBase && id <= kRegisterButtonBase + kRegisters) {
    const int r = id - kRegisterButtonBase;
    if (r < 1) return;
    Reg_toggle(r);
    Show_register(r);
    return;
  }
  if (id >= kPanSwitchBase && id <= kPanSwitchBase + kRegisters) {
    const int r = id - kPanSwitchBase;
    if (r < 1) return;
    Reg_pancycle(r);
    Show_pan(r);
    return;
  }
  switch (id) {
    case kButtonVolumesFull: pressRegisterButton(id, Reg_volumesfull, Show_volume); break;
    case kButtonResetShift: pressRegisterButton(id, Reg_resetshift, Show_shift); break;
    case kButtonRegistersOff: pressRegisterButton(id, Reg_alloff, Show_register); break;
    case kButtonRegistersOn: pressRegisterButton(id, Reg_allon, Show_register); break;
    case kButtonRegistersFromTable: pressRegisterButton(id, Reg_fromtable, Show_register); break;
    case kButtonResetMulti:
      pressRegisterButton(id, Reg_resetmulti, [](int r) { Show_multi(r, 100); });
      break;
    case kButtonNoteOff: pressButton(id, [] { Midi_notesoff(); }); break;
    case kKeyboardUpper:
    case kKeyboardLower: Key_play(Key_at(id), id); break;
    case kCmdCancel: Console_end(1); break;
    case kCmdAbout: Window_message(About_text()); break;
    case kCmdPlayer: Player_start(); break;
    case kCmdPreset0: presetSwitch(kPresetNames[0]); break;
    case kCmdPreset1: presetSwitch(kPresetNames[1]); break;
    case kCmdPreset2: presetSwitch(kPresetNames[2]); break;
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
  Show_register(r);
}

void multiStep(int r, int direction) {
  const int m = Reg_multistep(r, direction);
  Show_multi(r, 100.0 * m);
}

void shiftBar(int r) {
  Reg_shiftset(r, Ctl_valuex(mainWindow, kShiftBarBase + r));
  Show_shift(r);
}

void volumeBar(int r) {
  Reg_volumeset(r, Ctl_valuex(mainWindow, kVolumeBarBase + r));
  Show_volume(r);
}

// The knob follows the pointer, then every volume follows the knob; the bars
// show the volumes on the knob's scale.
void masterKnob() {
  Ctl_knobset(mainWindow, kMasterVolumeKnob,
              Round_even(Ctl_knobangle(mainWindow, kMasterVolumeKnob)));
  const ControlRecord* knob = Ctl_entry(kMasterVolumeKnob);
  Reg_mastervolume(knob ? knob->value : 0);
  for (int r = 1; r <= kRegisters; ++r) {
    const double shown = Volume_tobar(consoleState.regVolume[r]);
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
    case WM_PLAYER_MIDI: Midi_playerrequest(static_cast<int32_t>(msg.wParam), msg.lParam); return 0;
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
