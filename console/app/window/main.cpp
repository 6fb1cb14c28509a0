// consolle: the organ console. No command-line options; its settings files
// are in the current directory.
#include <QApplication>

#include "console/app/window/console_startup.h"
#include "platform/midi/default_devices.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  zt::MidiOut out;
  zt::MidiIn in;
  zt::Platform_mididevices(out, in);
  return zt::Console_run(out, in, {}, [](std::function<void()> changed) {
    return zt::Midi_portwatch(zt::Midi_backendfromenv(), std::move(changed));
  });
}
