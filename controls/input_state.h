// The cursor position and the mouse-button state, read at the moment of the
// call rather than from a message. The programs use the real state; tests put
// a scripted one in its place to place the cursor and press buttons.
#pragma once

#include <QPoint>
#include <cstdint>

namespace zt {

// Virtual key numbers of the mouse buttons.
constexpr int Input_lbutton = 1;
constexpr int Input_rbutton = 2;
constexpr int Input_mbutton = 4;

// Bits of a key state: held now, and pressed since the previous query.
constexpr int Input_held = 0x8000;
constexpr int Input_pressed = 0x0001;

class InputState {
 public:
  virtual ~InputState() = default;
  // Cursor position in screen coordinates.
  virtual QPoint cursor() = 0;
  // Input_held when the key is down now, plus Input_pressed when it went
  // down since the previous query of that key (the query clears that mark).
  virtual int keystate(int vk) = 0;
};

// The mouse as the window system reports it.
class RealInput : public InputState {
 public:
  QPoint cursor() override;
  int keystate(int vk) override;
};

// A mouse that tests move and press by hand.
class ScriptedInput : public InputState {
 public:
  QPoint cursor() override { return pos_; }
  int keystate(int vk) override;
  void move(QPoint screen) { pos_ = screen; }
  void press(int vk);
  void release(int vk);

 private:
  QPoint pos_;
  bool held_[8] = {};
  bool pressed_[8] = {};
};

// Installs the state the library reads from; nullptr puts the real one back.
// The caller keeps ownership.
void Input_set(InputState* state);
InputState& Input_current();

QPoint Input_cursor();
int Input_keystate(int vk);

}  // namespace zt
