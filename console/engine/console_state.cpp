#include "console/engine/console_state.h"

#include "common/number_text.h"
#include "console/engine/device_memory.h"
#include "console/engine/held_keys.h"

namespace zt {

ConsoleState consoleState;
std::array<std::string, kProgramNames> programName;

void State_reset() {
  ConsoleState& s = consoleState;
  for (int r = 0; r <= kRegisters; ++r) {
    s.regOn[r] = 0;
    s.regVolume[r] = 0;
    s.regPan[r] = 0;
    s.regShift[r] = 0;
    s.regMulti[r] = 0;
    s.regProgram[r] = 0;
    s.regName[r].clear();
    s.regButtonProgram[r] = 0;
  }
  s.hMidiIn = 0;
  s.hMidiOut = 0;
  s.midiInDevice = 0;
  s.midiOutDevice = 0;
  s.outChannel = 0;
  s.synthFound = 0;
  s.lastNote = 0;
  s.lastNoteOn = 0;
  Keys_forget();
  Device_forget();
}

void Reg_setname(int r, const std::string& label) {
  if (r < 1 || r > kRegisters) return;
  consoleState.regName[r] = label.substr(0, kMaxLabel);
  consoleState.regProgram[r] = Text_number(consoleState.regName[r]);
}

}  // namespace zt
