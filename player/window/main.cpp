// lettore: plays MIDI and karaoke files through the running console.
#include <signal.h>

#include <QApplication>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "platform/link/link_client.h"
#include "player/scheduler/playback_state.h"
#include "player/window/command_line.h"
#include "player/window/end_signals.h"
#include "player/window/find_console.h"
#include "player/window/player_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // A console that ends while we write to it must not end the player.
  ::signal(SIGPIPE, SIG_IGN);
  // The tables first: the timer slots and channel switches start empty and
  // on, the control table before any control.
  zt::Playback = zt::PlaybackState{};
  zt::ControlTable_create();

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  zt::Playback.fileName = zt::Player_filename(args);

  // The console is looked for once; without it the player still runs.
  zt::LinkClient link;
  zt::Player_findconsole(link, zt::Player_messagebox);

  int result = 0;
  {
    zt::PlayerWindow window(link);
    window.create();
    zt::Player_closeonsignals(&window);
    window.show();
    result = app.exec();
  }
  return result;
}
