// Feeds arbitrary bytes to the preset and configuration readers as the
// files "consolle.ini" and "consolle.cfg", then checks that every register
// holds values inside its range and that its line, as it would be saved,
// reads back to the same values. Each line of the input is then taken as a
// register's label, as a soundfont report or the program list may give one:
// saved, it reads back with the number it starts with.
#include <string>

#include "console/app/files/file_fields.h"
#include "console/app/files/presets.h"
#include "console/app/files/program_names.h"
#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"
#include "tests/support/fuzz_input.h"

// The files live in a private temporary directory.
static std::string dir;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  dir = zt::test::Fuzz_folder("zt-fuzz-preset");
  zt::Display_attach(nullptr);  // this thread is the window thread; nothing shown
  zt::Program_tablefill();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zt;
  using test::Fuzz_check;
  test::Fuzz_writefile(dir + "/consolle.ini", data, size);
  Preset_load(dir + "/consolle");
  Config_loadfrom(dir + "/consolle.ini");

  ConsoleState& s = consoleState;
  for (int r = 1; r <= kRegisters; ++r) {
    Fuzz_check(s.regOn[r] == 0 || s.regOn[r] == 1);
    Fuzz_check(s.regVolume[r] >= 0 && s.regVolume[r] <= 255);
    Fuzz_check(s.regPan[r] >= -1 && s.regPan[r] <= 1);
    Fuzz_check(s.regShift[r] >= -12 && s.regShift[r] <= 12);
    Fuzz_check(s.regMulti[r] >= 0 && s.regMulti[r] <= 12);
    Fuzz_check(s.regProgram[r] == Text_number(s.regName[r]));
    Fuzz_check(s.regButtonProgram[r] == s.regProgram[r]);

    std::string line = Preset_line(r);
    Fuzz_check(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
    FieldReader again(line.substr(0, line.size() - 2));
    Fuzz_check(again.number() == s.regOn[r]);
    Fuzz_check(Text_number(again.text()) == s.regProgram[r]);
    Fuzz_check(again.number() == s.regVolume[r]);
    Fuzz_check(again.number() == s.regPan[r]);
    Fuzz_check(again.number() == s.regShift[r]);
    Fuzz_check(again.number() == s.regMulti[r]);
  }

  LineFile labels(dir + "/consolle.ini");
  std::string label;
  for (int r = 1; r <= kRegisters && labels.next(label); ++r) {
    Reg_setname(r, label);
    std::string line = Preset_line(r);
    FieldReader again(line.substr(0, line.size() - 2));
    again.number();
    Fuzz_check(Text_number(again.text()) == s.regProgram[r]);
    Fuzz_check(again.number() == s.regVolume[r]);
  }
  return 0;
}
