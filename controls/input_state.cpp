#include "controls/input_state.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QObject>

namespace zt {

namespace {

int slotOf(int vk) { return vk >= 0 && vk < 8 ? vk : 0; }

int vkOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return Input_lbutton;
    case Qt::RightButton: return Input_rbutton;
    case Qt::MiddleButton: return Input_mbutton;
    default: return 0;
  }
}

// Remembers presses between queries, as the window system's asynchronous
// key state does; Qt itself only reports which buttons are down now.
class PressWatcher : public QObject {
 public:
  bool pressed[8] = {};

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
      int vk = vkOf(static_cast<QMouseEvent*>(e)->button());
      if (vk) pressed[vk] = true;
    }
    return QObject::eventFilter(o, e);
  }
};

PressWatcher* watcher() {
  static PressWatcher* w = nullptr;
  if (!w && QCoreApplication::instance()) {
    w = new PressWatcher;
    w->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(w);
  }
  return w;
}

RealInput realInput;
InputState* current = nullptr;

}  // namespace

QPoint RealInput::cursor() { return QCursor::pos(); }

int RealInput::keystate(int vk) {
  int state = 0;
  Qt::MouseButtons down = QGuiApplication::mouseButtons();
  if ((vk == Input_lbutton && (down & Qt::LeftButton)) ||
      (vk == Input_rbutton && (down & Qt::RightButton)) ||
      (vk == Input_mbutton && (down & Qt::MiddleButton)))
    state |= Input_held;
  if (PressWatcher* w = watcher(); w && vk > 0 && vk < 8 && w->pressed[vk]) {
    w->pressed[vk] = false;
    state |= Input_pressed;
  }
  return state;
}

int ScriptedInput::keystate(int vk) {
  int i = slotOf(vk);
  int state = (held_[i] ? Input_held : 0) | (pressed_[i] ? Input_pressed : 0);
  pressed_[i] = false;
  return state;
}

void ScriptedInput::press(int vk) {
  held_[slotOf(vk)] = true;
  pressed_[slotOf(vk)] = true;
}

void ScriptedInput::release(int vk) { held_[slotOf(vk)] = false; }

void Input_set(InputState* state) {
  current = state;
  if (!state) watcher();
}

InputState& Input_current() { return current ? *current : realInput; }

QPoint Input_cursor() { return Input_current().cursor(); }

int Input_keystate(int vk) { return Input_current().keystate(vk); }

}  // namespace zt
