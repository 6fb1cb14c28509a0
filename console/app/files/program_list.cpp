#include "console/app/files/program_list.h"

#include "console/app/files/file_fields.h"
#include "console/app/files/register_view.h"
#include "console/engine/console_state.h"

namespace zt {

ProgramList programList;

void Program_listfill(ProgramList& list, int r) {
  list.items.clear();
  list.selection = -1;
  list.userValue1 = r;
  int program = r >= 1 && r <= kRegisters ? Text_number(consoleState.regName[r]) : -1;
  for (int p = 0; p < 128; ++p) {
    if (Text_strip(programName[p]).empty()) continue;
    if (p == program) list.selection = static_cast<int>(list.items.size());
    list.items.push_back(programName[p]);
  }
  list.focusRequested = true;
}

void Program_listfill(int r) { Program_listfill(programList, r); }

void Program_listproc(ProgramList& list, uint32_t wParam) {
  int code = static_cast<int>(wParam >> 16);
  int r = list.userValue1;
  if (code == kListSelectionChange && list.selection >= 0 &&
      list.selection < static_cast<int>(list.items.size()) && r >= 1 && r <= kRegisters) {
    const std::string& t = list.items[list.selection];
    Reg_setname(r, t);
    consoleState.regButtonProgram[r] = Text_number(t);
    Show_register(r);
  }
  list.selection = -1;
}

void Program_listproc(uint32_t wParam) { Program_listproc(programList, wParam); }

}  // namespace zt
