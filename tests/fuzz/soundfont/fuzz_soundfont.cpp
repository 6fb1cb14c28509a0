// Feeds arbitrary bytes to the soundfont report reader as "caricati.txt",
// then checks that the table only names programs at their own number, that
// every label keeps its program number beside it, and that the program
// list built from the table selects a real item.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"
#include "console/app/files/program_list.h"
#include "console/app/files/program_names.h"

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

// The report lives in a private temporary directory; the fuzzer's own
// working directory (corpus and artifact paths) is left alone.
static std::string report;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char name[] = "/tmp/zt-fuzz-soundfont-XXXXXX";
  if (!mkdtemp(name)) abort();
  report = std::string(name) + "/" + zt::kReportFile;
  zt::Display_attach(nullptr);  // this thread is the window thread; nothing shown
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zt;
  // A new file each time: truncating one in place makes ext4 flush it to
  // the disk on close, which costs milliseconds per input.
  std::remove(report.c_str());
  std::FILE* f = std::fopen(report.c_str(), "wb");
  if (!f) abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  ConsoleState& s = consoleState;
  Program_tablefill();
  s.synthFound = 1;
  for (int r = 1; r <= kRegisters; ++r) Reg_setname(r, programName[(r * 5) % 128]);
  Soundfont_loadfrom(report);

  for (int n = 0; n < kProgramNames; ++n) check(programName[n].empty() || Text_number(programName[n]) == n);
  for (int r = 1; r <= kRegisters; ++r) {
    check(!s.regName[r].empty());
    check(s.regProgram[r] == Text_number(s.regName[r]));
    check(s.regProgram[r] == (r * 5) % 128);  // the program never changes
  }

  ProgramList list;
  int r = size ? 1 + data[0] % kRegisters : 1;
  Program_listfill(list, r);
  check(list.selection >= -1 && list.selection < static_cast<int>(list.items.size()));
  if (!list.items.empty()) {
    list.selection = static_cast<int>(size % list.items.size());
    Program_listproc(list, 1u << 16);
    check(s.regName[r] == list.items[size % list.items.size()]);
    check(list.selection == -1);
  }
  return 0;
}
