// The control table, the creation step, the cursor helpers, clicks and tooltips.
#include "tests/controls/fixture.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <thread>

namespace zt {

namespace {

void meter(QWidget* owner, int id, const char* kind, int x = 10, int y = 20, int w = 120,
           int h = 14) {
  Ctl_meter(owner, id, x, y, w, h, "", 0, "grigio", 0, 0, "", 0, kind, "grigio", 0);
}

void click(QWidget* control, Qt::MouseButton button) {
  QPointF at(2, 2);
  QMouseEvent press(QEvent::MouseButtonPress, at, control->mapToGlobal(at), button, button,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(control, &press);
}

}  // namespace

TEST_F(ControlsTest, IdsOutsideTheTableCreateNothing) {
  const auto before = owner->children().size();
  meter(owner.get(), 10001, "ori_rosso");
  meter(owner.get(), -1, "ori_rosso");
  int w = 100, h = 30;
  Ctl_display(owner.get(), 20000, 0, 0, w, h, "", 2, "", 0, 20, "", 0, "", "", 5);
  Ctl_button(owner.get(), 10001, 0, 0, 50, 20, "", 2, "rosso", "A/B", 0, "rosso", 2, 5);
  Ctl_lamp(owner.get(), -5, 0, 0, 40, 16, "", 2, "oro", 0, "blu", "", 0);
  Ctl_roundlamp(owner.get(), 10001, 0, 0, 20, 20, "", 2, "", 0, "rosso", "", 0);
  Ctl_knob(owner.get(), 10001, 0, 0, 100, 100, "", 10, 24, -151, 151, 100);
  Ctl_meterset(owner.get(), 10001, 50, "x");
  Ctl_knobset(owner.get(), 10001, 0);
  EXPECT_EQ(owner->children().size(), before);
  EXPECT_EQ(Ctl_entry(10001), nullptr);
  EXPECT_EQ(Ctl_entry(-1), nullptr);
  EXPECT_EQ(Ctl_control(owner.get(), 10001), nullptr);
  EXPECT_EQ(Ctl_valueat(owner.get(), 10001), 0);

  // The last id of the table is a normal control.
  meter(owner.get(), 10000, "ori_rosso");
  ASSERT_NE(Ctl_control(owner.get(), 10000), nullptr);
  EXPECT_EQ(Ctl_textget(Ctl_entry(10000)->kind), "ori_rosso");
}

TEST_F(ControlsTest, TextFieldsKeepTwentyCharactersAndReadTrimmed) {
  ControlRecord* rec = Ctl_entry(7);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(Ctl_textget(rec->caption), "");  // zero-filled table
  Ctl_textset(rec->caption, "ABCDEFGHIJKLMNOPQRSTUVWXY");
  EXPECT_EQ(Ctl_textget(rec->caption), "ABCDEFGHIJKLMNOPQRST");
  Ctl_textset(rec->caption, "  Pausa  ");
  EXPECT_EQ(Ctl_textget(rec->caption), "Pausa");
  EXPECT_EQ(rec->caption[19], ' ');

  meter(owner.get(), 8, "ori_rosso");
  Ctl_meterset(owner.get(), 8, 10, "Registro principale 8'");
  EXPECT_EQ(Ctl_textget(Ctl_entry(8)->caption), "Registro principale");  // 20th is a space
}

TEST_F(ControlsTest, SecondCreationWithTheSameIdTakesOver) {
  meter(owner.get(), 5, "ori_rosso");
  ControlWidget* first = Ctl_control(owner.get(), 5);
  meter(owner.get(), 5, "ver_ago", 10, 40, 20, 60);
  ControlWidget* second = Ctl_control(owner.get(), 5);
  EXPECT_NE(first, second);
  EXPECT_EQ(second->geometry(), QRect(10, 40, 20, 60));
  EXPECT_EQ(Ctl_textget(Ctl_entry(5)->kind), "ver_ago");
  EXPECT_EQ(BackgroundCache_entry(5)->size(), QSize(20, 60));
}

TEST_F(ControlsTest, ValueHelpersAtTheEdgesOfHorizontalControls) {
  meter(owner.get(), 1, "ori_blurosso");  // x 10..129, width 120
  cursorAt(10, 25);
  EXPECT_FLOAT_EQ(Ctl_valuex(owner.get(), 1), 100.0f / 120);
  EXPECT_FLOAT_EQ(Ctl_valueat(owner.get(), 1), 100.0f / 120);
  EXPECT_EQ(Ctl_slot(owner.get(), 1, 4), 1);
  cursorAt(129, 25);
  EXPECT_FLOAT_EQ(Ctl_valueat(owner.get(), 1), 100);
  cursorAt(400, 25);
  EXPECT_FLOAT_EQ(Ctl_valuex(owner.get(), 1), 100);
  cursorAt(69, 25);
  EXPECT_FLOAT_EQ(Ctl_valuex(owner.get(), 1), 50);
  EXPECT_EQ(Ctl_slot(owner.get(), 1, 4), 50);
  cursorAt(0, 25);  // left of the control: no lower limit
  EXPECT_FLOAT_EQ(Ctl_valuex(owner.get(), 1), -9 * 100.0f / 120);
  EXPECT_EQ(Ctl_slot(owner.get(), 1, 4), -8);
}

TEST_F(ControlsTest, ValueHelpersAtTheEdgesOfVerticalControls) {
  meter(owner.get(), 2, "ver_blurosso", 10, 20, 20, 100);  // y 20..119
  cursorAt(15, 21);
  EXPECT_FLOAT_EQ(Ctl_valueat(owner.get(), 2), 100);
  cursorAt(15, 20);
  EXPECT_FLOAT_EQ(Ctl_valueat(owner.get(), 2), 101);
  cursorAt(15, 119);
  EXPECT_FLOAT_EQ(Ctl_valueat(owner.get(), 2), 2);
  EXPECT_FLOAT_EQ(Ctl_valuey(owner.get(), 2), 98);
  cursorAt(15, 300);
  EXPECT_FLOAT_EQ(Ctl_valuey(owner.get(), 2), 100);

  // Kinds with neither "ver" nor "ori" give 0, upper case counts.
  Ctl_lamp(owner.get(), 3, 10, 130, 40, 16, "", 2, "oro", 0, "blu", "", 0);
  cursorAt(20, 135);
  EXPECT_EQ(Ctl_valueat(owner.get(), 3), 0);
  meter(owner.get(), 4, "VER_AGO", 100, 20, 20, 100);
  cursorAt(105, 21);
  EXPECT_FLOAT_EQ(Ctl_valueat(owner.get(), 4), 100);
}

TEST_F(ControlsTest, LeftClicksOnPositiveIdsReachTheOwner) {
  std::vector<int> got;
  Ctl_setcommand(owner.get(), [&](int id) { got.push_back(id); });
  meter(owner.get(), 12, "ori_rosso");
  meter(owner.get(), 0, "ori_rosso", 10, 60);
  Ctl_roundlamp(owner.get(), 0, 10, 100, 20, 20, "", 2, "", 0, "rosso", "", 0);
  QWidget* roundZero = Ctl_window(owner.get(), 0);

  click(Ctl_window(owner.get(), 12), Qt::LeftButton);
  click(Ctl_window(owner.get(), 12), Qt::RightButton);
  EXPECT_EQ(got, std::vector<int>{12});

  // A meter with id 0 stays silent; a round lamp notifies whatever its id.
  got.clear();
  Ctl_meter(owner.get(), 0, 10, 60, 120, 14, "", 0, "grigio", 0, 0, "", 0, "ori_rosso", "grigio",
            0);
  click(Ctl_window(owner.get(), 0), Qt::LeftButton);
  EXPECT_TRUE(got.empty());
  click(roundZero, Qt::LeftButton);
  EXPECT_EQ(got, std::vector<int>{0});
}

TEST_F(ControlsTest, ScriptedButtonsReportHeldAndPressedSinceLastQuery) {
  EXPECT_EQ(Input_keystate(Input_lbutton), 0);
  mouse.press(Input_lbutton);
  EXPECT_EQ(Input_keystate(Input_lbutton), Input_held | Input_pressed);
  EXPECT_EQ(Input_keystate(Input_lbutton), Input_held);
  mouse.release(Input_lbutton);
  EXPECT_EQ(Input_keystate(Input_lbutton), 0);
  EXPECT_EQ(Input_keystate(Input_rbutton), 0);
}

TEST_F(ControlsTest, SecondTooltipReplacesTheFirst) {
  meter(owner.get(), 1010, "ori_rosso");
  QWidget* c = Ctl_window(owner.get(), 1010);
  Tip_set(c, " Stop 10");
  EXPECT_EQ(c->toolTip(), QStringLiteral(" Stop 10"));
  Tip_set(c, "Velocit\xE0 in BPM");  // Windows-1252 text
  EXPECT_EQ(c->toolTip(), QStringLiteral(u"Velocit\u00E0 in BPM"));
  Tip_set(c, "Click sinistro suona, click destro attiva o disattiva scrittura nota sui tasti");
  EXPECT_TRUE(c->toolTip().contains(QStringLiteral("width=\"200\"")));
  EXPECT_TRUE(c->toolTip().contains(QStringLiteral("Click sinistro suona")));
}

TEST_F(ControlsTest, TextsCrossToQtAsWindows1252) {
  const std::string bytes = "\x80 \xE8\xE0 \x93x\x94";
  EXPECT_EQ(Text_toqt(bytes), QStringLiteral(u"\u20AC \u00E8\u00E0 \u201Cx\u201D"));
  EXPECT_EQ(Text_fromqt(Text_toqt(bytes)), bytes);
  EXPECT_EQ(Text_fromqt(QStringLiteral(u"\u4E2D")), "?");
}

TEST_F(ControlsTest, PaintingOnlyShowsTheImage) {
  meter(owner.get(), 30, "ori_blurosso");
  Ctl_meterset(owner.get(), 30, 70, "70");
  QWidget* c = Ctl_window(owner.get(), 30);
  QImage shown = c->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, image(30));
}

#ifndef NDEBUG
TEST_F(ControlsTest, CallsOffTheWindowThreadAssert) {
  meter(owner.get(), 31, "ori_rosso");
  QWidget* o = owner.get();
  EXPECT_DEATH(
      {
        std::thread t([o] { Ctl_meterset(o, 31, 50, ""); });
        t.join();
      },
      "window thread");
}
#endif

}  // namespace zt
