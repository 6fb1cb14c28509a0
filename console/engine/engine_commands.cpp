#include "console/engine/engine_commands.h"

#include <string>
#include <vector>

#include "common/midi_message.h"
#include "common/number_text.h"
#include "common/text_case.h"
#include "console/engine/channel_colour.h"
#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"
#include "console/engine/engine_platform.h"
#include "console/engine/midi_routing.h"
#include "console/engine/midi_send.h"

namespace zt {

namespace {
// 2.55 as a 32-bit float, widened before the product so that 50 gives
// 127.49..., which rounds down.
constexpr double kVolumeFactor = static_cast<double>(2.55f);

void setLabelFromTable(int r, int p) {
  if (p < 0 || p >= kProgramNames) return;
  Reg_setname(r, programName[p]);
}

bool validRegister(int r) { return r >= 1 && r <= kRegisters; }
}  // namespace

int Shift_frombar(double barValue) {
  int v = Round_even(24.0 * barValue / 100.0 - 12.0);
  return v < -12 ? -12 : v > 12 ? 12 : v;
}

int Volume_frombar(double barValue) {
  int v = Round_even(barValue * kVolumeFactor);
  return v < 0 ? 0 : v > 255 ? 255 : v;
}

double Volume_tobar(int volume) { return volume / kVolumeFactor; }

void Reg_volumesfull() {
  for (int r = 1; r <= kRegisters; ++r) consoleState.regVolume[r] = 255;
}

void Reg_resetshift() {
  for (int r = 1; r <= kRegisters; ++r) consoleState.regShift[r] = 0;
}

void Reg_resetmulti() {
  for (int r = 1; r <= kRegisters; ++r) consoleState.regMulti[r] = 0;
}

void Reg_alloff() {
  for (int r = 1; r <= kRegisters; ++r) consoleState.regOn[r] = 0;
  Midi_notesoff();
}

void Reg_allon() {
  for (int r = 1; r <= kRegisters; ++r) consoleState.regOn[r] = 1;
  Midi_notesoff();
}

void Reg_fromtable() {
  for (int r = 1; r <= kRegisters; ++r) {
    setLabelFromTable(r, r - 1);
    consoleState.regButtonProgram[r] = consoleState.regProgram[r];
  }
}

void Reg_toggle(int r) {
  if (!validRegister(r)) return;
  consoleState.regOn[r] = consoleState.regOn[r] == 0 ? 1 : 0;
}

void Reg_pancycle(int r) {
  if (!validRegister(r)) return;
  int pan = consoleState.regPan[r];
  consoleState.regPan[r] = pan == 0 ? 1 : pan >= 1 ? -1 : pan == -1 ? 0 : pan;
}

int Reg_shiftset(int r, double barValue) {
  if (!validRegister(r)) return 0;
  Midi_notesoff();
  int v = Shift_frombar(barValue);
  consoleState.regShift[r] = v;
  return v;
}

int Reg_multistep(int r, int direction) {
  if (!validRegister(r)) return 0;
  int m = consoleState.regMulti[r];
  if (direction < 0 && m > 0) --m;
  if (direction > 0 && m < 12) ++m;
  consoleState.regMulti[r] = m;
  return m;
}

int Reg_volumeset(int r, double barValue) {
  if (!validRegister(r)) return 0;
  int v = Volume_frombar(barValue);
  consoleState.regVolume[r] = v;
  return v;
}

void Reg_mastervolume(double percent) {
  int v = Volume_frombar(percent);
  for (int r = 1; r <= kRegisters; ++r) consoleState.regVolume[r] = v;
}

int Reg_programstep(int r, int direction) {
  if (!validRegister(r)) return 0;
  int p = consoleState.regButtonProgram[r];
  if (direction > 0 && p < 127) ++p;
  if (direction < 0 && p > 1) --p;
  consoleState.regButtonProgram[r] = p;
  setLabelFromTable(r, p);
  return p;
}

void Midi_audition(std::string_view notes, std::string_view mode) {
  const std::string upper = Text_upper(mode);
  std::vector<int> list;
  size_t start = 0;
  while (start <= notes.size()) {
    size_t comma = notes.find(',', start);
    if (comma == std::string_view::npos) comma = notes.size();
    list.push_back(Text_number(notes.substr(start, comma - start)));
    start = comma + 1;
  }
  const int channel = consoleState.outChannel;
  const int32_t red = RGB(255, 22, 22);
  auto on = [&](int n) {
    if (n >= 0 && n <= 127) Midi_send(MidiMessage(kNoteOn + channel, n, 127).word);
    Display_keyboard(kKeyboardUpper, n - kKeyOffset, red);
  };
  auto off = [&](int n) {
    if (n >= 0 && n <= 127) Midi_send(MidiMessage(kNoteOff + channel, n).word);
    Display_keyboard(kKeyboardUpper, n - kKeyOffset, kColourNatural);
  };
  if (upper == "SERIALE") {
    for (int n : list) {
      on(n);
      Engine_pause(300);
      off(n);
    }
  } else if (upper == "PARALLELO") {
    for (int n : list) on(n);
    Engine_pause(400);
    for (int n : list) off(n);
  }
}

void Reg_audition(int r) {
  if (!validRegister(r)) return;
  const int channel = consoleState.outChannel;
  Midi_progchang(consoleState.regProgram[r], channel);
  Midi_pan(Midi_panvalue(consoleState.regPan[r]), channel);
  Midi_audition("63,65,44", "seriale");
  Engine_pause(400);
  Midi_audition("48,50,36,62", "parallelo");
}

void Key_play(int k, int keyboard) {
  Midi_noteon(k + kKeyOffset, 127, consoleState.outChannel, keyboard);
}

}  // namespace zt
