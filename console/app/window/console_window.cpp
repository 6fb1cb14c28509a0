#include "console/app/window/console_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QShortcut>
#include <QTimer>
#include <chrono>
#include <thread>

#include "common/number_text.h"
#include "common/window_messages.h"
#include "console/app/window/console_proc.h"
#include "console/app/window/standard_lists.h"
#include "console/app/window/window_display.h"
#include "console/engine/console_state.h"
#include "console/engine/control_ids.h"
#include "controls/control_widget.h"
#include "controls/text_codec.h"

namespace zt {

QWidget* mainWindow = nullptr;
Colour windowColor = kDefaultWindowColour;
WindowPlatform windowPlatform;

namespace {

ConsoleWindow* currentWindow = nullptr;

// The id a widget of the client area answers to: a custom control's own id,
// or the "ztId" property the window gives its standard controls.
int idOf(QWidget* w) {
  if (auto* c = dynamic_cast<ControlWidget*>(w)) return c->id();
  QVariant id = w->property("ztId");
  return id.isValid() ? id.toInt() : 0;
}

}  // namespace

ConsoleWindow::ConsoleWindow() : client_(new QWidget(this)) {
  currentWindow = this;
  mainWindow = client_;
  setWindowTitle(QString::fromLatin1(kConsoleCaption));
  setCentralWidget(client_);
  client_->setAutoFillBackground(true);
  client_->setMouseTracking(true);
  setGeometry(0, 0, 800, 600);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, [] { Console_proc(Msg_command(kCmdCancel)); });
  qApp->installEventFilter(this);
  // Clicks on the custom controls (and the keyboards) come as commands.
  Ctl_setcommand(client_, [](int id) { Console_proc(Msg_command(id)); });
}

ConsoleWindow::~ConsoleWindow() {
  qApp->removeEventFilter(this);
  if (currentWindow == this) currentWindow = nullptr;
  if (mainWindow == client_) mainWindow = nullptr;
}

void ConsoleWindow::watchChildren() {
  for (QWidget* w : client_->findChildren<QWidget*>()) w->setMouseTracking(true);
}

int ConsoleWindow::run() {
  if (!ending_) {
    Console_proc({WM_INITDIALOG, 0, 0});
    watchChildren();
    showMaximized();
    if (!ending_) {
      QEventLoop loop;
      loop_ = &loop;
      loop.exec();
      loop_ = nullptr;
    }
  }
  Console_proc({WM_DESTROY, 0, 0});
  ending_ = true;
  hide();
  return endCode_;
}

void ConsoleWindow::end(int code) {
  if (ending_) return;
  ending_ = true;
  endCode_ = code;
  if (loop_) loop_->quit();
}

void ConsoleWindow::setTimer(int id, int ms) {
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [id] {
      Console_proc({WM_TIMER, static_cast<uint32_t>(id), 0});
    });
  }
  timer->start(ms);
}

void ConsoleWindow::killTimer(int id) {
  auto it = timers_.find(id);
  if (it != timers_.end() && it->second) it->second->stop();
}

void ConsoleWindow::closeEvent(QCloseEvent* e) {
  if (ending_) {
    e->accept();
    return;
  }
  // The close box: the window silences everything, then ends.
  e->ignore();
  Console_proc({WM_SYSCOMMAND, SC_CLOSE, 0});
  end(kCmdCancel);
}

int ConsoleWindow::controlIdAt(QPoint clientPos) const {
  QWidget* w = client_->childAt(clientPos);
  while (w && w->parentWidget() != client_) w = w->parentWidget();
  return w ? idOf(w) : 0;
}

bool ConsoleWindow::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type type = e->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
      type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
    return false;
  auto* target = qobject_cast<QWidget*>(watched);
  if (!target || (target != client_ && !client_->isAncestorOf(target))) return false;
  auto* m = static_cast<QMouseEvent*>(e);
  // An event a child ignores comes here again, as a copy, on its way to the
  // parent: the same moment, kind and place, delivered to an ancestor.
  if (lastTarget_ && m->timestamp() == lastStamp_ && type == lastType_ &&
      m->globalPosition() == lastGlobal_ && target->isAncestorOf(lastTarget_))
    return false;
  lastTarget_ = target;
  lastStamp_ = m->timestamp();
  lastType_ = type;
  lastGlobal_ = m->globalPosition();

  const QPoint at = client_->mapFromGlobal(m->globalPosition().toPoint());
  const int id = controlIdAt(at);
  uint32_t mouse = WM_MOUSEMOVE;
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
    if (m->button() == Qt::LeftButton)
      mouse = WM_LBUTTONDOWN;
    else if (m->button() == Qt::RightButton)
      mouse = WM_RBUTTONDOWN;
  } else if (type == QEvent::MouseButtonRelease) {
    if (m->button() == Qt::LeftButton)
      mouse = WM_LBUTTONUP;
    else if (m->button() == Qt::RightButton)
      mouse = WM_RBUTTONUP;
  }
  // The set-cursor comes first; the control then reports its click.
  Console_proc(Msg_setcursor(id, mouse));
  return false;
}

ConsoleWindow* Window_current() { return currentWindow; }

void Window_pause(int ms) {
  // What changed before the pause is on the screen during it: the custom
  // controls repaint as they change, the keyboards and the lists only at the
  // next turn of the event loop, which a pause does not take. What the
  // display requests still hold is drawn first, then the log's lines
  // waiting for that turn go into it.
  WindowDisplay_flush();
  MessageLog_show();
  if (currentWindow && currentWindow->isVisible()) currentWindow->repaint();
  if (ms <= 0) return;
  if (windowPlatform.sleep)
    windowPlatform.sleep(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Window_end(int code) {
  if (currentWindow) currentWindow->end(code);
}

void Window_settimer(int id, int ms) {
  if (currentWindow) currentWindow->setTimer(id, ms);
}

void Window_killtimer(int id) {
  if (currentWindow) currentWindow->killTimer(id);
}

void Window_message(const std::string& text) {
  if (windowPlatform.message) {
    windowPlatform.message(text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QString(), Text_toqt(text), QMessageBox::Ok,
                  currentWindow && currentWindow->isVisible() ? currentWindow : nullptr);
  box.exec();
}

QMenuBar* Console_menus() {
  auto* bar = new QMenuBar;
  QMenu* setup = bar->addMenu(QStringLiteral("&Setup"));
  const ConsoleState& s = consoleState;
  const std::pair<std::string, int> items[] = {
      {"Preset &0", kCmdPreset0},
      {"Preset &1", kCmdPreset1},
      {"Preset &2", kCmdPreset2},
      {"&Midi out" + Text_str(s.midiOutDevice), kCmdMidiOut},
      {"&Midi in" + Text_str(s.midiInDevice), kCmdMidiIn},
      {"Soundfont &List", kCmdSoundfontList},
      {"&Fine", kCmdEnd},
      {"&Autore", kCmdAbout},
  };
  auto wire = [](QAction* action, int id) {
    action->setData(id);
    QObject::connect(action, &QAction::triggered, [id] { Console_proc(Msg_command(id)); });
  };
  for (const auto& [text, id] : items) wire(setup->addAction(Text_toqt(text)), id);
  wire(bar->addAction(QStringLiteral("Lettore")), kCmdPlayer);
  return bar;
}

}  // namespace zt
