#include "tests/console/app/window/window_fixture.h"

#include <unistd.h>

#include <QMenuBar>
#include <filesystem>
#include <fstream>
#include <sstream>

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

namespace fs = std::filesystem;

std::vector<int> WindowTest::pauses;
std::vector<std::string> WindowTest::messages;
std::function<void(int)> WindowTest::onPause;

void WindowTest::SetUp() {
  oldDir_ = fs::current_path().string();
  std::string pattern = (fs::temp_directory_path() / "zt-window-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  dir = pattern;
  fs::current_path(dir);

  ControlTable_create();
  State_reset();
  for (auto& name : programName) name.clear();
  Keyboard_reset();
  programList = ProgramList{};
  presetName = "consolle";
  lightStep = 0;
  Display_reset();

  outDriver = std::make_shared<MemoryMidiOutDriver>(
      std::vector<std::string>{"FluidSynth", "Port A", "Port B"});
  inDriver = std::make_shared<MemoryMidiInDriver>(std::vector<std::string>{"ZT input", "Keyboard"});
  midiOut = std::make_unique<MidiOut>();
  midiIn = std::make_unique<MidiIn>();
  midiOut->addDriver(outDriver);
  midiIn->addDriver(inDriver);
  Engine_attach(*midiOut, *midiIn);
  enginePlatform.closeWaitMs = 3000;
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
  enginePlatform.midiOut = nullptr;
  enginePlatform.midiIn = nullptr;
  midiIn.reset();
  midiOut.reset();
  onPause = nullptr;
  fs::current_path(oldDir_);
  std::error_code ec;
  fs::remove_all(dir, ec);
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
  Reg_setname(r, label);
  consoleState.regButtonProgram[r] = consoleState.regProgram[r];
  consoleState.regOn[r] = 1;
  consoleState.regVolume[r] = volume;
  consoleState.regPan[r] = pan;
  consoleState.regShift[r] = shift;
  consoleState.regMulti[r] = multi;
}

std::vector<uint32_t> WindowTest::allNotesOff() {
  std::vector<uint32_t> out;
  for (int c = 0; c < 16; ++c) out.push_back(msg(0xB0 + c, 123, 0));
  return out;
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
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string WindowTest::readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace zt::test
