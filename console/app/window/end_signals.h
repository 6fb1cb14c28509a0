#pragma once
// SIGTERM and SIGINT (Ctrl-C in the starting terminal) end the console in
// order, like "&Fine": the handler only writes the signal's number to a
// self-pipe; the window thread reads it and ends the window, after which
// the devices are closed and the settings saved.
namespace zt {

// Installs the handlers; `onSignal` runs on the window thread.
void Signals_watch(void (*onSignal)(int signal));
// Puts the default handlers back.
void Signals_restore();
// For waits that do not turn the event loop (the soundfont batch): takes the
// signals that arrived since the last look, without calling the handler.
// Returns the last one's number, 0 when none came. Window thread.
int Signals_take();

}  // namespace zt
