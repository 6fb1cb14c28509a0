#include "player/window/player_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTime>

#include "common/dialog_units.h"
#include "common/number_text.h"
#include "controls/controls.h"
#include "platform/link/link_client.h"
#include "platform/timer/timer_slots.h"
#include "player/reader/song_state.h"
#include "player/scheduler/playback_state.h"
#include "player/scheduler/scheduler.h"
#include "player/window/player_ids.h"

namespace zt {

namespace {

// A rectangle given in dialog units, in pixels.
QRect unitRect(int left, int top, int width, int height) {
  return QRect(Dialog_x(left), Dialog_y(top), Dialog_x(width), Dialog_y(height));
}

// WM_PLAYER_TICK as it crosses from a timer thread to the window thread.
class TickEvent : public QEvent {
 public:
  static QEvent::Type type() {
    static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
    return t;
  }
  explicit TickEvent(int32_t slot) : QEvent(type()), slot(slot) {}
  int32_t slot;
};

struct MeterSpec {
  int id;
  const char* caption;
  int left, top, width, height;
  const char* tip;
  int bevel;
  int r, g, b;
  const char* faceStyle;
  int faceMode;
};

constexpr const char* kTipChannel =
    "Canali midi on/off col tasto sinistro. [Solo] col il tasto destro";

const MeterSpec kMeters[] = {
    {kIdBackground, "vox", 0, 0, 280, 100, nullptr, 3, 200, 250, 150, "verde", 2},
    {kIdLoad, "Load *mid *kar", 3, 3, 271, 18, "Carica un file midi o karaoke", 0, 100, 250, 100,
     "grigio", 2},
    {kIdProgress, "tempo", 3, 21, 160, 18, "Vedi l'esecuzione del file", 0, 200, 250, 150, "verde",
     2},
    {kIdTempo, "bpm", 163, 21, 110, 18,
     "Veloci\xE0 in BPM modificabile con il tasto sinistro del mouse", 0, 255, 255, 255, "grigio",
     2},
    {kIdLoop, "Loop", 3, 39, 52, 18, nullptr, 0, 100, 250, 100, "grigio", 2},
    {kIdPlay, "Play", 55, 39, 52, 18, nullptr, 0, 100, 250, 100, "grigio", 2},
    {kIdStop, "Stop", 159, 39, 52, 18, nullptr, 0, 250, 150, 150, "grigio", 2},
    {kIdDataView, "info", 3, 57, 271, 18, "Finestra visione dati midi in uscita", 0, 200, 250, 150,
     "", 3},
};

struct ButtonSpec {
  int id;
  const char* caption;
  int left;
  const char* tip;
};

const ButtonSpec kSwitches[] = {
    {kIdPause, "Pausa/Pausato", 107, nullptr},
    {kIdRouting, "Diretto/Filtrato", 211,
     "Diretto:manda alla scheda sonora il segnale midi, Filtrato:passa per il "
     "programma"},
};

}  // namespace

void Player_messagebox(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, Text_toqt(title), Text_toqt(text), QMessageBox::Ok);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}

std::string Player_choosefile(QWidget* parent) {
  QFileDialog dialog(parent, QStringLiteral("Load"), QDir::currentPath());
  // Linux names are case-sensitive: both cases of the two extensions.
  dialog.setNameFilter(
      QStringLiteral("Midi and Karaoke files  (*.mid, *.kar) (*.MID *.KAR *.mid *.kar)"));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  // Of several files selected, the first is played.
  if (files.isEmpty()) return {};
  std::string name = files.first().toLocal8Bit().toStdString();
  std::erase(name, '\0');
  return name;
}

PlayerWindow::PlayerWindow(LinkClient& link, PlayerMessageBox box, PlayerFileChooser chooser)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      link_(link),
      box_(std::move(box)),
      chooser_(std::move(chooser)) {}

PlayerWindow::~PlayerWindow() {
  if (!closed_) {
    closed_ = true;
    Player_proc(*this, {WM_DESTROY, 0, 0});
  }
  Ctl_setcommand(this, {});
}

void PlayerWindow::create() {
  const QRect frame = unitRect(0, 0, 280, 100);
  setFixedSize(frame.size());
  setWindowTitle(QString());
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
  }

  for (const MeterSpec& s : kMeters) {
    const QRect r = unitRect(s.left, s.top, s.width, s.height);
    Ctl_meter(this, s.id, r.x(), r.y(), r.width(), r.height(), "", s.bevel, "oro", 0, 0, s.caption,
              RGB(s.r, s.g, s.b), "ori_rosso", s.faceStyle, s.faceMode);
    if (s.tip) Tip_set(Ctl_window(this, s.id), s.tip);
  }
  for (const ButtonSpec& s : kSwitches) {
    const QRect r = unitRect(s.left, 39, 52, 18);
    Ctl_button(this, s.id, r.x(), r.y(), r.width(), r.height(), "", 0, "oro", s.caption,
               RGB(200, 250, 150), "grigio", 2, 2);
    if (s.tip) Tip_set(Ctl_window(this, s.id), s.tip);
  }
  for (int k = 0; k < 16; ++k) {
    const QRect r = unitRect(3 + 17 * k, 75, 16, 18);
    Ctl_meter(this, kIdChannel0 + k, r.x(), r.y(), r.width(), r.height(), "", 0, "oro", 0, 0, "",
              RGB(200, 250, 150), "ori_rosso", "verde", 0);
    Tip_set(Ctl_window(this, kIdChannel0 + k), kTipChannel);
  }
  // The background panel sits under everything.
  if (QWidget* panel = Ctl_window(this, kIdBackground)) panel->lower();

  // Every mouse movement over the tempo control and the channel buttons is
  // a chance to act on a held button, as the cursor query was.
  setMouseTracking(true);
  for (int id : {kIdBackground, kIdTempo}) {
    if (QWidget* w = Ctl_window(this, id)) {
      w->setMouseTracking(true);
      w->installEventFilter(this);
    }
  }
  for (int id = kIdChannel0; id <= kIdChannelLast; ++id) {
    if (QWidget* w = Ctl_window(this, id)) {
      w->setMouseTracking(true);
      w->installEventFilter(this);
    }
  }
  Ctl_setcommand(this, [this](int id) { Player_proc(*this, {WM_COMMAND, id, 0}); });
  Player_proc(*this, {WM_INITDIALOG, 0, 0});
}

void PlayerWindow::loadFile(const std::string& name, const std::string& caption) {
  if (QWidget* play = Ctl_window(this, kIdPlay)) play->setEnabled(false);
  ResetSong(songState, *this);
  LoadSong(songState, name, *this);
  Song_checkempty(songState, *this);
  setWindowTitle(QString::fromLocal8Bit(caption.c_str()));
  FixedText<32> bpm;
  bpm.add("BPM").addStr(songState.BPM);
  Ctl_meterset(this, kIdTempo, 0, std::string(bpm.view()));
  if (QWidget* play = Ctl_window(this, kIdPlay)) play->setEnabled(true);
}

void PlayerWindow::pointerMoved() {
  const QPoint cursor = Input_cursor();
  auto over = [&](int id) {
    QWidget* w = Ctl_window(this, id);
    return w && w->isVisible() && w->rect().contains(w->mapFromGlobal(cursor));
  };
  if (over(kIdTempo)) {
    Player_proc(*this, {WM_SETCURSOR, kIdTempo, 0});
    return;
  }
  for (int id = kIdChannel0; id <= kIdChannelLast; ++id) {
    if (over(id)) {
      Player_proc(*this, {WM_SETCURSOR, id, 0});
      return;
    }
  }
}

bool PlayerWindow::event(QEvent* e) {
  if (e->type() == TickEvent::type()) {
    // A tick may send dozens of events, each waiting for the console's
    // answer: the data view and the channel buttons are drawn once, after
    // the tick's last send, showing what its last event left them.
    holding_ = true;
    Player_proc(*this, {WM_PLAYER_TICK, 0, static_cast<TickEvent*>(e)->slot});
    holding_ = false;
    drawHeld();
    return true;
  }
  if (e->type() == QEvent::MouseMove) pointerMoved();
  return QWidget::event(e);
}

bool PlayerWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseMove || e->type() == QEvent::MouseButtonPress) pointerMoved();
  return QWidget::eventFilter(watched, e);
}

void PlayerWindow::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    closed_ = true;
    Player_proc(*this, {WM_DESTROY, 0, 0});
  }
  QWidget::closeEvent(e);
}

void PlayerWindow::sendToConsole(int32_t wParam, int32_t lParam) { link_.send(wParam, lParam); }

void PlayerWindow::setDataView(std::string_view caption) {
  if (holding_) {
    heldView_.assign(caption);
    viewHeld_ = true;
    return;
  }
  Ctl_meterset(this, kIdDataView, 0, std::string(caption));
}

void PlayerWindow::setChannelButton(int32_t k, float value, std::string_view caption) {
  // Only the sixteen buttons exist; channel 16's notes have none.
  if (k < 0 || k > kIdChannelLast - kIdChannel0) return;
  if (holding_) {
    // The last value, and the last caption given (an empty one keeps it).
    HeldButton& b = heldButtons_[static_cast<size_t>(k)];
    b.value = value;
    if (!caption.empty()) b.caption.assign(caption);
    b.waiting = true;
    return;
  }
  Ctl_meterset(this, kIdChannel0 + k, value, std::string(caption));
}

void PlayerWindow::drawHeld() {
  if (viewHeld_) {
    viewHeld_ = false;
    Ctl_meterset(this, kIdDataView, 0, heldView_);
  }
  for (size_t k = 0; k < heldButtons_.size(); ++k) {
    HeldButton& b = heldButtons_[k];
    if (!b.waiting) continue;
    b.waiting = false;
    Ctl_meterset(this, kIdChannel0 + static_cast<int>(k), b.value, b.caption);
    b.caption.clear();
  }
}

void PlayerWindow::setProgress(float value, std::string_view caption) {
  Ctl_meterset(this, kIdProgress, value, std::string(caption));
}

void PlayerWindow::flipPauseSwitch() { Ctl_buttonflip(this, kIdPause, std::string()); }

void PlayerWindow::showMessage(std::string_view text) {
  if (box_) box_(std::string(), std::string(text));
}

void PlayerWindow::showMessage(const std::string& text) {
  if (box_) box_(std::string(), text);
}

void PlayerWindow::stopPlayback() { Playback_reset(playbackState, *this); }

void PlayerWindow::postLoopCommand() {
  QMetaObject::invokeMethod(
      this,
      [this] {
        Player_proc(*this, {WM_COMMAND, kIdLoop, 0});
      },
      Qt::QueuedConnection);
}

int32_t PlayerWindow::startTimer(int32_t slot, int32_t periodMs) {
  // Runs on the timer's thread: posting an event is all it does.
  TimerPost post = [this](int32_t, int32_t lParam) {
    QCoreApplication::postEvent(this, new TickEvent(lParam));
  };
  return zt::StartTimer(timerTable, post, slot, periodMs, 1);
}

void PlayerWindow::stopTimer(int32_t slot) {
  zt::StopTimer(timerTable, slot);
  // Ticks posted before the stop are still queued; the scheduler lets them
  // through without effect.
}

int32_t PlayerWindow::timeOfDayMs() { return QTime::currentTime().msecsSinceStartOfDay(); }

}  // namespace zt
