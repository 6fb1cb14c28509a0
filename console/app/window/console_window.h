#pragma once
// The console's main window: a top-level window captioned "ZT" whose client
// area owns every control, and the window services Console_proc calls
// (timers, pauses, message boxes, ending the run).
//
// The window turns its Qt events into Console_proc messages:
//   - a left click on a control that reports clicks, or on a keyboard
//     display: WM_COMMAND with the control id;
//   - a mouse move or a button press or release over any child (or the
//     background): WM_SETCURSOR with the control's id and the mouse message
//     (512 move, 513/514 left down/up, 516/517 right down/up), sent before
//     the click's command;
//   - Escape: command 2; the close box: WM_SYSCOMMAND SC_CLOSE, then the end;
//   - a running timer: WM_TIMER with its id;
//   - the menus: WM_COMMAND with the item's id.
#include <QEvent>
#include <QMainWindow>
#include <QPointF>
#include <QPointer>
#include <map>
#include <string>

#include "console/app/window/console_messages.h"
#include "controls/colour.h"

class QEventLoop;
class QMenuBar;
class QTimer;

namespace zt {

// The main window's client area, owner of every control; nullptr while
// there is no window. Window thread only.
extern QWidget* mainWindow;
// The window's background, from the logo's pixel (1,1).
extern Colour windowColor;
// Used when the logo cannot be read: the logo's own panel brown (its pixel
// (1,1)), so that a window without its logo looks as it does with it.
constexpr Colour kDefaultWindowColour = 0x0016203A;  // RGB(58, 32, 22)

// What the window does that tests replace: the blocking sleep of a pause
// and the message box (OK button, empty caption).
struct WindowPlatform {
  void (*sleep)(int ms) = nullptr;
  void (*message)(const std::string& text) = nullptr;
};
extern WindowPlatform windowPlatform;

class ConsoleWindow : public QMainWindow {
 public:
  ConsoleWindow();
  ~ConsoleWindow() override;
  QWidget* client() const { return client_; }

  // Shows the window maximised and runs it until Window_end; returns the
  // end code. Sends WM_INITDIALOG before showing and WM_DESTROY at the end.
  int run();
  void end(int code);
  bool running() const { return loop_ != nullptr; }
  // Whether the run has been ended, and with which code.
  bool ending() const { return ending_; }
  int endCode() const { return endCode_; }
  void setTimer(int id, int ms);
  void killTimer(int id);
  // Starts translating the mouse events of every child present now.
  void watchChildren();

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  int controlIdAt(QPoint clientPos) const;
  QWidget* client_;
  QEventLoop* loop_ = nullptr;
  int endCode_ = 0;
  bool ending_ = false;
  std::map<int, QTimer*> timers_;
  // The last mouse event translated, to know its copies on their way up.
  QPointer<QWidget> lastTarget_;
  quint64 lastStamp_ = 0;
  QEvent::Type lastType_ = QEvent::None;
  QPointF lastGlobal_;
};

// The window, or nullptr.
ConsoleWindow* Window_current();

// Blocks the window thread for `ms` milliseconds: what was drawn so far is
// on the screen first; MIDI input goes on, and its display requests are
// drawn after the pause.
void Window_pause(int ms);
// Ends the window's run with `code`.
void Window_end(int code);
void Window_settimer(int id, int ms);
void Window_killtimer(int id);
// A message box with an OK button and an empty caption.
void Window_message(const std::string& text);

// The menu bar: "&Setup" with its eight items and "Lettore" (id 0). Item
// ids are kept with the actions; a triggered item sends WM_COMMAND.
QMenuBar* Console_menus();

}  // namespace zt
