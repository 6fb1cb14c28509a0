// The main window as start-up builds it: caption, size, menus and every
// control at its place with its kind and tooltip.
#include <QMenu>
#include <QMenuBar>
#include <map>

#include "console/app/window/keyboard_display.h"
#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "tests/console/app/window/window_fixture.h"

namespace zt::test {
namespace {

struct Place {
  int id;
  QRect rect;
  const char* tooltip;  // nullptr: none
};

TEST_F(WindowTest, EveryControlSitsAtItsPixelPlaceWithItsTooltip) {
  const std::string keyTip =
      "Click sinistro suona, click destro attiva o disattiva scrittura nota sui tasti";
  const Place places[] = {
      {kLogo, {110, 360, 300, 60}, nullptr},
      {kKeyboardUpper, {6, 440, 800, 64}, keyTip.c_str()},
      {kKeyboardLower, {6, 509, 800, 64}, keyTip.c_str()},
      {kStatusDisplay, {3, 640, 540, 43}, nullptr},
      {kNoteDisplay, {550, 640, 188, 43}, nullptr},
      {kMasterVolumeKnob, {3, 320, 100, 100}, nullptr},
      {kRunningLightBase + 3, {228, 320, 40, 16}, nullptr},
      {kIndicatorBase + 15, {470, 341, 20, 20}, nullptr},
      {kButtonNoteOff, {3, 600, 100, 26}, nullptr},
      {kButtonVolumesFull, {108, 600, 100, 26}, "Mette al 100% tutti i volumi"},
      {kButtonRegistersFromTable, {213, 600, 100, 26}, "Registri da capo"},
      {kButtonRegistersOff, {318, 600, 100, 26}, "Registri oof"},
      {kButtonRegistersOn, {423, 600, 100, 26}, "Registri on"},
      {kButtonResetMulti, {528, 600, 100, 26}, "Multinote a 0"},
      {kButtonResetShift, {633, 600, 100, 26}, "Mette a 0 tutti gli shift"},
      {kRegisterButtonBase + 1, {3, 3, 120, 32}, " Stop 1"},
      {kRegisterButtonBase + 10, {127, 82, 120, 32}, " Stop 10"},
      {kVolumeBarBase + 32, {871, 272, 120, 14}, "Regolazione del Volume"},
      {kShiftBarBase + 32, {871, 286, 120, 14}, "Shift up/down"},
      {kPanSwitchBase + 32, {871, 300, 40, 14}, "Pan"},
      {kProgramStepperBase + 32, {911, 300, 40, 14}, "Registro up/down"},
      {kMultiStepperBase + 32, {951, 300, 40, 14}, "Multi note"},
  };
  for (const Place& p : places) {
    QWidget* w = Ctl_window(client(), p.id);
    if (!w) w = Keyboard_display(p.id);
    ASSERT_NE(w, nullptr) << p.id;
    EXPECT_EQ(w->geometry(), p.rect) << p.id;
    // Long tips come wrapped for their 200-pixel width.
    if (p.tooltip)
      EXPECT_NE(w->toolTip().toStdString().find(p.tooltip), std::string::npos) << p.id;
    else
      EXPECT_TRUE(w->toolTip().isEmpty()) << p.id;
  }
  // Kinds and arguments as the library keeps them.
  EXPECT_EQ(Ctl_window(client(), kRegisterButtonBase + 10)->toolTip(), QStringLiteral(" Stop 10"));
  EXPECT_EQ(Ctl_textget(Ctl_entry(kVolumeBarBase + 1)->kind), "ori_blurosso");
  EXPECT_EQ(Ctl_entry(kVolumeBarBase + 1)->scale, 10);
  EXPECT_EQ(Ctl_entry(kShiftBarBase + 1)->faceMode, 2);
  EXPECT_EQ(Ctl_textget(Ctl_entry(kRunningLightBase)->kind), "ledr");
  EXPECT_EQ(Ctl_textget(Ctl_entry(kIndicatorBase + 12)->caption), "12");
  EXPECT_EQ(Ctl_textget(Ctl_entry(kButtonRegistersOn)->caption), "Registri ON");
  EXPECT_EQ(Ctl_textget(Ctl_entry(kButtonRegistersOn)->faceStyle), "verde");
  EXPECT_EQ(Ctl_entry(kStatusDisplay)->scale, 20);
  EXPECT_EQ(Ctl_entry(kNoteDisplay)->scale, 27);
  EXPECT_FLOAT_EQ(Ctl_entry(kMasterVolumeKnob)->value, 100);
  // The program list and the log are the window's standard lists.
  std::map<int, QRect> lists;
  for (QWidget* w : client()->findChildren<QWidget*>()) {
    const int id = w->property("ztId").toInt();
    if (id == kProgramList || id == kMessageLog) lists[id] = w->geometry();
  }
  EXPECT_EQ(lists, (std::map<int, QRect>{{kProgramList, QRect(820, 350, 200, 160)},
                                         {kMessageLog, QRect(820, 520, 200, 120)}}));
}

TEST_F(WindowTest, TheWindowIsZTAt800By600AndItsMenusCarryTheirIds) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("ZT"));
  EXPECT_EQ(window->geometry().size(), QSize(800, 600));
  consoleState.midiOutDevice = 3;
  consoleState.midiInDevice = 0;
  QMenuBar* bar = Console_menus();
  ASSERT_EQ(bar->actions().size(), 2);
  EXPECT_EQ(bar->actions()[0]->text(), QStringLiteral("&Setup"));
  EXPECT_EQ(bar->actions()[1]->text(), QStringLiteral("Lettore"));
  EXPECT_EQ(bar->actions()[1]->data().toInt(), kCmdPlayer);
  std::vector<std::pair<std::string, int>> items;
  for (QAction* a : bar->actions()[0]->menu()->actions())
    items.emplace_back(a->text().toStdString(), a->data().toInt());
  EXPECT_EQ(items, (std::vector<std::pair<std::string, int>>{{"Preset &0", 4100},
                                                             {"Preset &1", 4101},
                                                             {"Preset &2", 4102},
                                                             {"&Midi out 3", 4200},
                                                             {"&Midi in 0", 4210},
                                                             {"Soundfont &List", 4220},
                                                             {"&Fine", 4417},
                                                             {"&Autore", 4420}}));
  // A menu item is a command to the window procedure.
  bar->actions()[0]->menu()->actions()[6]->trigger();
  EXPECT_TRUE(window->ending());
  delete bar;
}

}  // namespace
}  // namespace zt::test
