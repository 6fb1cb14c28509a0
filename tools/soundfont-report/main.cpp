// zt-soundfont-report [SOUNDFONT]: prints the soundfont report for the
// SoundFont the embedded synthesiser loads ($ZT_SOUNDFONT, or the system's
// General MIDI one), or for SOUNDFONT. The loader "sl.bat" that the console
// runs at start-up writes it into "caricati.txt". Exit code 1 when the
// SoundFont cannot be read (the report then says so on its fourth line).
#include <cstdio>
#include <cstring>

#include "platform/midi/fluid_setup.h"
#include "tools/soundfont-report/soundfont_report.h"

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::puts(
        "usage: zt-soundfont-report [SOUNDFONT]\n"
        "Prints the presets of bank 0 of SOUNDFONT (default: $ZT_SOUNDFONT, else\n"
        "/usr/share/sounds/sf2/default-GM.sf2) as the console's soundfont report.");
    return 0;
  }
  bool ok = false;
  const std::string report = zt::Soundfont_report(argc > 1 ? argv[1] : zt::Fluid_soundfont(), ok);
  std::fwrite(report.data(), 1, report.size(), stdout);
  return ok ? 0 : 1;
}
