#pragma once
// The window's two standard list boxes: the program list (120), through
// which the user picks a program for one register, and the message log
// (110), where Log_line's lines go. Window thread only.
#include <string>

class QListView;
class QListWidget;
class QWidget;

namespace zt {

// Creates the program list at (820, 350), 200 x 160, light grey on dark
// grey, with one item per register label, and wires its selection to
// Program_listproc.
QListWidget* ProgramList_create(QWidget* owner);
// Creates the message log at (820, 520), 200 x 120, black on light grey,
// with 101 empty lines, and appends the lines logged before it existed. It
// keeps the MessageLogModel::kLines most recent lines.
QListView* MessageLog_create(QWidget* owner);

// Shows the program list model (after Program_listfill): its items, its
// selection and, when asked for, the keyboard focus.
void ProgramList_show();

// Appends a line to the message log and selects it, so the log shows it.
// Every line is also written to the standard error. Before the log exists
// lines are kept for it. The lines logged during one turn of the event loop
// go into the box, and to the standard error, together at its next turn
// (MessageLog_show does it at once), so that a burst of lines costs one
// layout of the box.
void MessageLog_add(const std::string& text);
// Puts the lines still on their way into the box now.
void MessageLog_show();
// The lines the log holds, those on their way included (tests).
int MessageLog_count();
std::string MessageLog_line(int row);
// A window is being built: lines wait for its log box.
void MessageLog_open();
// The window has gone: no more log box.
void MessageLog_detach();

}  // namespace zt
