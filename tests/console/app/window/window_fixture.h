#pragma once
// The console window built as start-up builds it (menus, window, every
// control, the display sink), on the memory MIDI backend, in a fresh
// temporary directory, with a scripted mouse. The pauses do not sleep: each
// calls `onPause`, so a test can look at the window and the output at that
// moment. Message boxes are recorded instead of shown.
#include <gtest/gtest.h>

#include <QPoint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/app/window/console_window.h"
#include "controls/input_state.h"
#include "tests/support/engine_setup.h"
#include "tests/support/temp_folder.h"

namespace zt::test {

class WindowTest : public ::testing::Test, protected EngineDevices {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The client area (owner of the controls).
  QWidget* client() const { return window->client(); }
  // Puts the scripted mouse over control `id` at pixel (dx, dy) of it.
  void pointAt(int id, int dx, int dy);
  void pointAtClient(QPoint p);
  // A set-cursor message over `id` caused by `mouse`.
  void setCursor(int id, uint32_t mouse);
  void command(int id);

  void drawRegister(int r, const std::string& label, int volume = 200, int pan = 0, int shift = 0,
                    int multi = 0);
  std::vector<uint32_t> sent() { return outDriver->messages(); }
  static uint32_t msg(int status, int d1, int d2 = 0) { return Midi_word(status, d1, d2); }
  static std::vector<uint32_t> allNotesOff() { return Midi_notesoffwords(); }
  // The control's stored caption and value.
  static std::string caption(int id);
  static float value(int id);
  static void writeFile(const std::string& path, const std::string& bytes);
  static std::string readFile(const std::string& path);

  static std::vector<int> pauses;
  static std::vector<std::string> messages;
  static std::function<void(int ms)> onPause;

  ConsoleWindow* window = nullptr;
  ScriptedInput mouse;
  std::string dir;

 private:
  TempFolder folder_;
};

}  // namespace zt::test
