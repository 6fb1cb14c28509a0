#include "controls/control_widget.h"

#include "controls/control_table.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <cassert>
#include <map>
#include <utility>

namespace zt {

namespace {

// (owner, id) -> the control that answers to it. Stale entries are harmless:
// the guarded pointer reads null once its widget is gone.
std::map<std::pair<QWidget*, int>, QPointer<ControlWidget>>& registry() {
  static std::map<std::pair<QWidget*, int>, QPointer<ControlWidget>> r;
  return r;
}

std::map<QWidget*, CtlCommand>& commands() {
  static std::map<QWidget*, CtlCommand> c;
  return c;
}

// An owner seen for the first time drops its entries when it goes, so a
// later window at the same address never finds the old controls.
void watchOwner(QWidget* owner) {
  static std::map<QWidget*, bool> watched;
  if (watched[owner]) return;
  watched[owner] = true;
  QObject::connect(owner, &QObject::destroyed, [owner] {
    auto& r = registry();
    for (auto it = r.begin(); it != r.end();)
      it = it->first.first == owner ? r.erase(it) : std::next(it);
    commands().erase(owner);
    watched.erase(owner);
  });
}

QImage blankImage(QSize size) {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(Ctl_qcolour(Ctl_background()));
  return image;
}

}  // namespace

ControlWidget::ControlWidget(QWidget* owner, int id, bool notify, QRect rect)
    : QWidget(owner), id_(id), notify_(notify) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setGeometry(rect);
  image_ = blankImage(rect.size());
}

void ControlWidget::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  p.drawImage(e->rect().topLeft(), image_, e->rect());
}

void ControlWidget::mousePressEvent(QMouseEvent* e) {
  if (notify_ && e->button() == Qt::LeftButton) {
    auto it = commands().find(parentWidget());
    if (it != commands().end() && it->second) {
      // Copy: the command may replace the owner's function.
      CtlCommand command = it->second;
      command(id_);
    }
    e->accept();
    return;
  }
  QWidget::mousePressEvent(e);
}

void ControlWidget::resizeEvent(QResizeEvent*) {
  // The image keeps its drawing; a larger area shows the background colour
  // until the next drawing.
  if (image_.size() == size() || size().isEmpty()) return;
  QImage grown = blankImage(size());
  QPainter p(&grown);
  p.drawImage(0, 0, image_);
  p.end();
  image_ = grown;
}

void Ctl_checkthread() {
  assert(QCoreApplication::instance() &&
         QThread::currentThread() == QCoreApplication::instance()->thread() &&
         "control library called off the window thread");
}

ControlWidget* Ctl_control(QWidget* owner, int id) {
  auto it = registry().find({owner, id});
  if (it == registry().end()) return nullptr;
  return it->second.data();
}

QWidget* Ctl_window(QWidget* owner, int id) { return Ctl_control(owner, id); }

ControlWidget* Ctl_createwidget(QWidget* owner, int id, int x, int y, int width, int height,
                                bool notify) {
  if (!owner || !Ctl_validid(id)) return nullptr;
  auto* w =
      new ControlWidget(owner, id, notify, QRect(x, y, std::max(0, width), std::max(0, height)));
  registry()[{owner, id}] = w;
  watchOwner(owner);
  w->show();
  return w;
}

int32_t Ctl_slot(QWidget* owner, int id, int n) {
  Ctl_checkthread();
  ControlWidget* w = Ctl_control(owner, id);
  return w ? w->slot(n) : 0;
}

void Ctl_setslot(QWidget* owner, int id, int n, int32_t value) {
  Ctl_checkthread();
  if (ControlWidget* w = Ctl_control(owner, id)) w->setslot(n, value);
}

void Ctl_setcommand(QWidget* owner, CtlCommand command) {
  Ctl_checkthread();
  if (!owner) return;
  commands()[owner] = std::move(command);
  watchOwner(owner);
}

}  // namespace zt
