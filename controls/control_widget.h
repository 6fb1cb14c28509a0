// The child window of one custom control: it owns the control's persistent
// image, its eight small per-control values and its click notification.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace zt {

class ControlWidget : public QWidget {
 public:
  ControlWidget(QWidget* owner, int id, bool notify, QRect rect);

  int id() const { return id_; }
  bool notifies() const { return notify_; }
  // The persistent image, the size of the client area.
  QImage& image() { return image_; }
  // Slots 1 to 8; other numbers read 0 and are not written.
  int32_t slot(int n) const { return n >= 1 && n <= 8 ? slots_[n - 1] : 0; }
  void setslot(int n, int32_t v) {
    if (n >= 1 && n <= 8) slots_[n - 1] = v;
  }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  int id_;
  bool notify_;
  QImage image_;
  int32_t slots_[8] = {};
};

// Library operations run on the window thread only; a call from anywhere
// else is a programming error, caught in debug builds.
void Ctl_checkthread();

// The control the owner created last with this id, or nullptr.
ControlWidget* Ctl_control(QWidget* owner, int id);
// The same as a plain widget, e.g. to attach a tooltip to it.
QWidget* Ctl_window(QWidget* owner, int id);

// Creates the child window of a control (no drawing, no pictures) and makes
// it the one that (owner, id) names from now on.
ControlWidget* Ctl_createwidget(QWidget* owner, int id, int x, int y, int width, int height,
                                bool notify);

// Per-control values 1 to 8 (0 for an unknown control).
int32_t Ctl_slot(QWidget* owner, int id, int n);
void Ctl_setslot(QWidget* owner, int id, int n, int32_t value);

// Clicks: a left-button press on a control that notifies calls the owner's
// command function with the control id. The owner sets it once; an empty
// function stops the notifications.
using CtlCommand = std::function<void(int id)>;
void Ctl_setcommand(QWidget* owner, CtlCommand command);

}  // namespace zt
