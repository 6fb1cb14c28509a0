// Feeds arbitrary bytes to the soundfont report reader as "caricati.txt",
// then checks that the table only names programs at their own number, that
// every label keeps its program number beside it, and that the program
// list built from the table selects a real item.
#include <string>

#include "console/app/files/program_list.h"
#include "console/app/files/program_names.h"
#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"
#include "tests/support/fuzz_input.h"

// The report lives in a private temporary directory.
static std::string report;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  report = zt::test::Fuzz_folder("zt-fuzz-soundfont") + "/" + zt::kReportFile;
  zt::Display_attach(nullptr);  // this thread is the window thread; nothing shown
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zt;
  using test::Fuzz_check;
  test::Fuzz_writefile(report, data, size);

  ConsoleState& s = consoleState;
  Program_tablefill();
  s.synthFound = 1;
  for (int r = 1; r <= kRegisters; ++r) Reg_setname(r, programName[(r * 5) % 128]);
  Soundfont_loadfrom(report);

  for (int n = 0; n < kProgramNames; ++n)
    Fuzz_check(programName[n].empty() || Text_number(programName[n]) == n);
  for (int r = 1; r <= kRegisters; ++r) {
    Fuzz_check(!s.regName[r].empty());
    Fuzz_check(s.regProgram[r] == Text_number(s.regName[r]));
    Fuzz_check(s.regProgram[r] == (r * 5) % 128);  // the program never changes
  }

  ProgramList list;
  int r = size ? 1 + data[0] % kRegisters : 1;
  Program_listfill(list, r);
  Fuzz_check(list.selection >= -1 && list.selection < static_cast<int>(list.items.size()));
  if (!list.items.empty()) {
    list.selection = static_cast<int>(size % list.items.size());
    Program_listproc(list, 1u << 16);
    Fuzz_check(s.regName[r] == list.items[size % list.items.size()]);
    Fuzz_check(list.selection == -1);
  }
  return 0;
}
