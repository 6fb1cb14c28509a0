#include "tests/console/app/window/window_fixture.h"

#include <QMenuBar>

#include "console/app/files/presets.h"
#include "console/app/files/program_list.h"
#include "console/app/files/program_names.h"
#include "console/app/window/console_panel.h"
#include "console/app/window/console_proc.h"
#include "console/app/window/keyboard_display.h"
#include "console/app/window/standard_lists.h"
#include "console/app/window/window_display.h"
#include "controls/control_table.h"
#include "controls/control_widget.h"

namespace zt::test {

std::vector<int> WindowTest::pauses;
std::vector<std::string> WindowTest::messages;
std::function<void(int)> WindowTest::onPause;

void WindowTest::SetUp() {
  ASSERT_TRUE(folder_.make("zt-window", true));
  dir = folder_.path();

  ControlTable_create();
  for (auto& name : programName) name.clear();
  Keyboard_reset();
  programList = ProgramList{};
  presetName = "consolle";
  lightStep = 0;

  Engine_memorysetup(*this);
  enginePlatform.pause = Window_pause;
  pauses.clear();
  messages.clear();
  onPause = nullptr;
  windowPlatform.sleep = [](int ms) {
    pauses.push_back(ms);
    if (onPause) onPause(ms);
  };
  windowPlatform.message = [](const std::string& text) { messages.push_back(text); };
  WindowDisplay_start();
  Input_set(&mouse);

  QMenuBar* menus = Console_menus();
  window = new ConsoleWindow;
  Console_controls(window->client());
  window->setMenuBar(menus);
  Program_tablefill();
  Keyboard_draw(kKeyboardUpper, 0, -1);
  Keyboard_draw(kKeyboardLower, 0, -1);
  Midi_openout(0);
  outDriver->clear();
}

void WindowTest::TearDown() {
  if (consoleState.hMidiIn != 0) Midi_closein();
  delete window;
  window = nullptr;
  MessageLog_detach();
  WindowDisplay_stop();
  Input_set(nullptr);
  windowPlatform = WindowPlatform{};
  enginePlatform.pause = nullptr;
  Engine_teardown(*this);
  onPause = nullptr;
  folder_.leave();
}

void WindowTest::pointAt(int id, int dx, int dy) {
  QWidget* w = Ctl_window(client(), id);
  if (!w) w = Keyboard_display(id);
  ASSERT_NE(w, nullptr) << "no control " << id;
  pointAtClient(w->geometry().topLeft() + QPoint(dx, dy));
}

void WindowTest::pointAtClient(QPoint p) { mouse.move(client()->mapToGlobal(p)); }

void WindowTest::setCursor(int id, uint32_t m) { Console_proc(Msg_setcursor(id, m)); }

void WindowTest::command(int id) { Console_proc(Msg_command(id)); }

void WindowTest::drawRegister(int r, const std::string& label, int volume, int pan, int shift,
                              int multi) {
  Register_draw(r, label, volume, pan, shift, multi);
  // The window's register button shows the program it was drawn with.
  consoleState.regButtonProgram[r] = consoleState.regProgram[r];
}

std::string WindowTest::caption(int id) {
  ControlRecord* rec = Ctl_entry(id);
  return rec ? Ctl_textget(rec->caption) : std::string();
}

float WindowTest::value(int id) {
  ControlRecord* rec = Ctl_entry(id);
  return rec ? rec->value : -1;
}

void WindowTest::writeFile(const std::string& path, const std::string& bytes) {
  File_write(path, bytes);
}

std::string WindowTest::readFile(const std::string& path) { return File_read(path); }

}  // namespace zt::test
