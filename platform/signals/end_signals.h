#pragma once
// Ending a program from outside (a kill, Ctrl-C in its terminal, a logout)
// the ordinary way, as its own end command does: the signal handler only
// writes the signal's number to a self-pipe; the window thread reads it and
// runs the program's handler there.
#include <functional>
#include <initializer_list>

namespace zt {

// Installs the handlers of the `watched` signals; `onSignal` runs on the calling (window)
// thread's event loop with the signal's number. Returns false when they could
// not all be installed.
bool Signals_watch(std::initializer_list<int> watched, std::function<void(int signal)> onSignal);
// For waits that do not turn the event loop: takes the signals that arrived
// since the last look, without calling the handler. Returns the last one's
// number, 0 when none came. Window thread.
int Signals_take();
// Puts back the handlers there were before and stops watching.
void Signals_restore();

}  // namespace zt
