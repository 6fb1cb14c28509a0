#pragma once
// The console window's procedure: menu commands, button clicks and mouse
// actions on the register controls become changes of the console state and
// engine operations; the controls keep showing the state; a timer drives the
// running light; the player's MIDI messages are routed. Window thread only.
#include "console/app/window/console_messages.h"

namespace zt {

// Position of the running light, 0..3.
extern int lightStep;

// Handles one message. Returns 1 after "&Fine", 0 otherwise.
int Console_proc(const ConsoleMessage& msg);

// A request from the player's link, WM_PLAYER_MIDI (wParam, lParam): handled
// at once, so its MIDI has gone out when this returns and the answer can go
// back; what it shows is drawn a few milliseconds later, together with the
// requests that follow it (the player waits for every answer).
int Console_playerrequest(int32_t wParam, int32_t lParam);

// Ends the window from anywhere (menu, Escape, signals): every note is
// silenced first, then the window's run ends with `code`.
void Console_end(int code);
// Saves the preset and "consolle.cfg" (Preset_save). Each file that cannot
// be written gives the log line "Impossibile salvare <file>: <reason>" (the
// system's text for the error); with `tell` the same lines also go to the
// organist in one message box. An end by signal leaves `tell` off: nobody
// may be there to dismiss the box. Returns whether both files were written.
bool Console_save(bool tell);
// Whether the console is ending: inside Console_end (while the notes are
// silenced) or once the window's run has been ended.
bool Console_ending();

}  // namespace zt
