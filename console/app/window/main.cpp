// consolle: the organ console. Its settings files are in the current
// directory; the command line asks for the help or the version only, any
// other argument is ignored.
#include <QApplication>
#include <string>
#include <vector>

#include "common/program_info.h"
#include "console/app/window/console_startup.h"
#include "platform/midi/default_devices.h"

namespace {

constexpr const char* kHelp =
    "Usage: consolle [--help | --version]\n"
    "\n"
    "ZT's organ console: the MIDI keyboards connected to its input port \"ZT input\"\n"
    "play through 32 registers (stops) into a SoundFont synthesiser, the embedded\n"
    "FluidSynth or an outside MIDI port. \"Lettore\" in its menu starts the MIDI file\n"
    "player, lettore.\n"
    "\n"
    "It keeps its files in the current folder: \"consolle.cfg\" (the MIDI devices),\n"
    "the presets \"consolle.ini\", \"consolle1.ini\" and \"consolle2.ini\", the logo\n"
    "\"logus.bmp\", the soundfont loader \"sl.bat\" and its report \"caricati.txt\".\n"
    "zt-consolle, the command of the desktop entry, starts it in the working folder\n"
    "($ZT_HOME, else ~/.local/share/zt) and prepares that folder on first use.\n"
    "Any other argument is ignored.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "More in its manual: man consolle\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before the application object exists and before anything looks
  // at the current folder: no window opens and no file is written.
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  switch (zt::Program_inforequest(args, false)) {
    case zt::InfoRequest::help: return zt::Program_printinfo(kHelp);
    case zt::InfoRequest::version: return zt::Program_printinfo("consolle (ZT) " ZT_VERSION "\n");
    case zt::InfoRequest::none: break;
  }

  QApplication app(argc, argv);
  zt::MidiOut out;
  zt::MidiIn in;
  zt::Platform_mididevices(out, in);
  return zt::Console_run(out, in, {}, [](std::function<void()> changed) {
    return zt::Midi_portwatch(zt::Midi_backendfromenv(), std::move(changed));
  });
}
