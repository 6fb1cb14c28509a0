#pragma once
// The program list (control 120): through it the user picks a program for
// one register. This is the list's model; the window's list box shows it
// and hands its notifications to Program_listproc. Window thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "console/engine/control_ids.h"

namespace zt {

// The list box's notification code for a changed selection.
constexpr int kListSelectionChange = 1;

struct ProgramList {
  std::vector<std::string> items;
  int selection = -1;           // 0-based item, -1 none
  int userValue1 = 0;           // the register the list was last filled for
  bool focusRequested = false;  // the window gives the list the keyboard focus
};

extern ProgramList programList;

// Fills the list for register r: every non-blank name of programs 0..127,
// in order; the item of the register's own program is selected (none when
// the list has no item for it).
void Program_listfill(ProgramList& list, int r);
void Program_listfill(int r);

// The list's notification handler; the notification code is in the high 16
// bits of wParam. A selection change gives the list's register the selected
// program. Every notification then clears the selection.
void Program_listproc(ProgramList& list, uint32_t wParam);
void Program_listproc(uint32_t wParam);

}  // namespace zt
