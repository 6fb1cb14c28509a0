// Feeds arbitrary bytes to the preset and configuration readers as the
// files "consolle.ini" and "consolle.cfg", then checks that every register
// holds values inside its range and that its line, as it would be saved,
// reads back to the same values.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"
#include "console/app/files/file_fields.h"
#include "console/app/files/presets.h"
#include "console/app/files/program_names.h"

namespace {

// A new file each time: truncating one in place makes ext4 flush it to the
// disk on close, which costs milliseconds per input.
void writeFile(const std::string& name, const uint8_t* data, size_t size) {
  std::remove(name.c_str());
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

void check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

// The files live in a private temporary directory; the fuzzer's own
// working directory (corpus and artifact paths) is left alone.
static std::string dir;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char name[] = "/tmp/zt-fuzz-preset-XXXXXX";
  if (!mkdtemp(name)) abort();
  dir = name;
  zt::Display_attach(nullptr);  // this thread is the window thread; nothing shown
  zt::Program_tablefill();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zt;
  writeFile(dir + "/consolle.ini", data, size);
  Preset_load(dir + "/consolle");
  Config_loadfrom(dir + "/consolle.ini");

  ConsoleState& s = consoleState;
  for (int r = 1; r <= kRegisters; ++r) {
    check(s.regOn[r] == 0 || s.regOn[r] == 1);
    check(s.regVolume[r] >= 0 && s.regVolume[r] <= 255);
    check(s.regPan[r] >= -1 && s.regPan[r] <= 1);
    check(s.regShift[r] >= -12 && s.regShift[r] <= 12);
    check(s.regMulti[r] >= 0 && s.regMulti[r] <= 12);
    check(s.regProgram[r] == Text_number(s.regName[r]));
    check(s.regButtonProgram[r] == s.regProgram[r]);

    std::string line = Preset_line(r);
    check(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
    FieldReader again(line.substr(0, line.size() - 2));
    check(again.number() == s.regOn[r]);
    check(Text_number(again.text()) == s.regProgram[r]);
    check(again.number() == s.regVolume[r]);
    check(again.number() == s.regPan[r]);
    check(again.number() == s.regShift[r]);
    check(again.number() == s.regMulti[r]);
  }
  return 0;
}
