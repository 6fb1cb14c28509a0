#pragma once
// Ending the player from outside (SIGTERM, SIGINT, SIGHUP: a logout, a
// kill, Ctrl+C in a terminal) closes its window the ordinary way, so the
// timers stop and the console is asked for all notes off before it ends.
class QWidget;

namespace zt {

// Installs the handlers; `window` is closed on the window thread when one of
// the signals arrives. Returns false if they could not be installed.
bool Player_closeonsignals(QWidget* window);

}  // namespace zt
