// lettore: plays MIDI and karaoke files through the running console.
#include <signal.h>

#include <QApplication>
#include <QPointer>
#include <string>
#include <vector>

#include "common/program_info.h"
#include "controls/controls.h"
#include "platform/link/link_client.h"
#include "platform/signals/end_signals.h"
#include "player/scheduler/playback_state.h"
#include "player/window/command_line.h"
#include "player/window/find_console.h"
#include "player/window/player_window.h"

namespace {

constexpr const char* kHelp =
    "Usage: lettore [FILE]\n"
    "       lettore --help | --version\n"
    "\n"
    "ZT's MIDI file player: plays a Standard MIDI or karaoke file (.mid, .kar)\n"
    "through the running organ console, consolle. \"Diretto\" sends the file's\n"
    "events to the console's synthesiser unchanged, \"Filtrato\" plays its notes\n"
    "through the console's registers.\n"
    "\n"
    "FILE is the whole command line with its double quotes removed; without it the\n"
    "player loads \"D_TOCCA.MID\" from the current folder. A file named like an\n"
    "option is played as ./--help.\n"
    "\n"
    "  -h, --help     print this help and exit (as the only argument)\n"
    "      --version  print the version and exit (as the only argument)\n"
    "\n"
    "More in its manual: man lettore\n";

std::vector<std::string> arguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before the application object exists: no window, no file.
  switch (zt::Program_inforequest(arguments(argc, argv), true)) {
    case zt::InfoRequest::help: return zt::Program_printinfo(kHelp);
    case zt::InfoRequest::version: return zt::Program_printinfo("lettore (ZT) " ZT_VERSION "\n");
    case zt::InfoRequest::none: break;
  }

  QApplication app(argc, argv);
  // A console that ends while we write to it must not end the player.
  ::signal(SIGPIPE, SIG_IGN);
  // The tables first: the timer slots and channel switches start empty and
  // on, the control table before any control.
  zt::playbackState = zt::PlaybackState{};
  zt::ControlTable_create();

  // The file name from what the application object left of the arguments.
  zt::playbackState.fileName = zt::Player_filename(arguments(argc, argv));

  // The console is looked for once; without it the player still runs.
  zt::LinkClient link;
  zt::Player_findconsole(link, zt::Player_messagebox);

  int result = 0;
  {
    zt::PlayerWindow window(link);
    window.create();
    // SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C, a logout) close the
    // window the ordinary way: the timers stop and the console is asked for
    // all notes off.
    zt::Signals_watch({SIGTERM, SIGINT, SIGHUP}, [target = QPointer<QWidget>(&window)](int) {
      if (target) target->close();
    });
    window.show();
    result = app.exec();
  }
  zt::Signals_restore();
  return result;
}
