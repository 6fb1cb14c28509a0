// The window procedure on the real window and controls (offscreen), a
// scripted mouse and the memory MIDI backend.
#include "console/app/window/console_proc.h"

#include <sys/stat.h>
#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "console/app/files/about_box.h"
#include "console/app/files/presets.h"
#include "console/app/window/device_dialogs.h"
#include "console/app/window/keyboard_display.h"
#include "console/app/window/standard_lists.h"
#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/knob.h"
#include "controls/text_codec.h"
#include "tests/console/app/window/window_fixture.h"

namespace zt::test {
namespace {

using Messages = std::vector<uint32_t>;

QRgb keyPixel(int display, int x, int y) { return Keyboard_display(display)->image().pixel(x, y); }

// Runs the window's event loop until `done` holds or 5 s have passed.
template <typename Done>
bool processUntil(Done done) {
  for (int i = 0; i < 500 && !done(); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

TEST_F(WindowTest, AKeyClickSoundsKeyPlus23AndReleasingTheLeftButtonAnywhereSilencesAll) {
  drawRegister(1, "19 Church Organ", 200);
  // dx 100 in the upper band is key 10: note 33.
  pointAt(kKeyboardUpper, 100, 5);
  mouse.press(Input_lbutton);
  setCursor(kKeyboardUpper, WM_LBUTTONDOWN);
  command(kKeyboardUpper);
  EXPECT_EQ(sent(), (Messages{msg(0xC0, 19), msg(0xB0, 10, 64), msg(0x90, 33, 100)}));
  // Key 10 (an A) is marked red where only white keys are.
  EXPECT_EQ(keyPixel(kKeyboardUpper, 104, 55), qRgb(255, 0, 0));

  outDriver->clear();
  mouse.release(Input_lbutton);
  pointAt(kButtonNoteOff, 50, 50);
  setCursor(0, WM_LBUTTONUP);
  EXPECT_EQ(sent(), allNotesOff());
  EXPECT_EQ(keyPixel(kKeyboardUpper, 104, 55), qRgb(255, 255, 210));
}

TEST_F(WindowTest, MovingOverAKeyboardShowsTheNoteAndTheRightButtonTogglesKeyNames) {
  pointAt(kKeyboardLower, 100, 5);
  setCursor(kKeyboardLower, WM_MOUSEMOVE);
  EXPECT_EQ(noteNamesOn, 0);
  EXPECT_TRUE(pauses.empty());
  mouse.press(Input_rbutton);
  setCursor(kKeyboardLower, WM_RBUTTONDOWN);
  EXPECT_EQ(noteNamesOn, 1);
  EXPECT_EQ(pauses, std::vector<int>{100});
  EXPECT_TRUE(sent().empty());
}

TEST_F(WindowTest, ThePanSwitchCyclesCentreRightLeftCentre) {
  const int id = kPanSwitchBase + 5;
  std::vector<std::string> captions;
  for (int i = 0; i < 3; ++i) {
    command(id);
    captions.push_back(caption(id));
    EXPECT_FLOAT_EQ(value(id), 100);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"D", "S", "="}));
  EXPECT_TRUE(sent().empty());
}

TEST_F(WindowTest, ARegisterButtonClickTogglesTheRegisterWithItsLabel) {
  drawRegister(7, " 19 Church Organ");
  command(kRegisterButtonBase + 7);
  EXPECT_EQ(consoleState.regOn[7], 0);
  EXPECT_FLOAT_EQ(value(kRegisterButtonBase + 7), 0);
  EXPECT_EQ(caption(kRegisterButtonBase + 7), "19 Church Organ");
  command(kRegisterButtonBase + 7);
  EXPECT_EQ(consoleState.regOn[7], 1);
  EXPECT_FLOAT_EQ(value(kRegisterButtonBase + 7), 100);
}

TEST_F(WindowTest, TheProgramStepperStopsAtOneGoingDown) {
  drawRegister(3, programName[2]);
  mouse.press(Input_lbutton);
  pointAt(kProgramStepperBase + 3, 10, 5);
  for (int i = 0; i < 3; ++i) setCursor(kProgramStepperBase + 3, WM_MOUSEMOVE);
  EXPECT_EQ(Ctl_slot(client(), kRegisterButtonBase + 3, 6), 1);
  EXPECT_EQ(caption(kProgramStepperBase + 3), "-+");
  EXPECT_TRUE(sent().empty());
}

TEST_F(WindowTest, BothButtonsOnAProgramStepperRaiseThenLowerInOneMessage) {
  drawRegister(4, programName[5]);
  std::vector<std::string> shown;
  onPause = [&](int) {
    shown.push_back(caption(kProgramStepperBase + 4));
    shown.push_back(consoleState.regName[4]);
  };
  mouse.press(Input_lbutton);
  mouse.press(Input_rbutton);
  pointAt(kProgramStepperBase + 4, 10, 5);
  setCursor(kProgramStepperBase + 4, WM_RBUTTONDOWN);
  // "+" shown while still on program 5, then "-" while on 6; back to 5.
  EXPECT_EQ(shown, (std::vector<std::string>{"+", programName[5], "-", programName[6]}));
  EXPECT_EQ(pauses, (std::vector<int>{200, 200}));
  EXPECT_EQ(consoleState.regButtonProgram[4], 5);
  EXPECT_EQ(consoleState.regName[4], programName[5]);
}

TEST_F(WindowTest, TheMultiStepperStaysWithinZeroAndTwelve) {
  drawRegister(2, "1", 100, 0, 0, 11);
  mouse.press(Input_rbutton);
  pointAt(kMultiStepperBase + 2, 5, 5);
  for (int i = 0; i < 3; ++i) setCursor(kMultiStepperBase + 2, WM_MOUSEMOVE);
  EXPECT_EQ(caption(kMultiStepperBase + 2), "12");
  mouse.release(Input_rbutton);
  mouse.press(Input_lbutton);
  for (int i = 0; i < 14; ++i) setCursor(kMultiStepperBase + 2, WM_MOUSEMOVE);
  EXPECT_EQ(caption(kMultiStepperBase + 2), "0");
}

TEST_F(WindowTest,
       ARightClickOnAVolumeBarAuditionsTheRegisterAndWithTheLeftButtonSetsTheVolumeFirst) {
  drawRegister(2, "19 Church Organ", 100, 1);
  // The engine's audition of register 2, as the commands' own tests know it.
  Reg_audition(2);
  const Messages audition = sent();
  const std::vector<int> auditionPauses = pauses;
  ASSERT_FALSE(audition.empty());
  outDriver->clear();
  pauses.clear();
  pointAt(kVolumeBarBase + 2, 59, 5);  // 50 %
  mouse.press(Input_rbutton);
  setCursor(kVolumeBarBase + 2, WM_RBUTTONDOWN);
  EXPECT_EQ(consoleState.regVolume[2], 100);
  EXPECT_EQ(sent(), audition);
  EXPECT_EQ(pauses, auditionPauses);

  outDriver->clear();
  int volumeAtFirstNote = -1;
  onPause = [&](int) {
    if (volumeAtFirstNote < 0) volumeAtFirstNote = consoleState.regVolume[2];
  };
  mouse.press(Input_lbutton);
  setCursor(kVolumeBarBase + 2, WM_RBUTTONDOWN);
  EXPECT_EQ(volumeAtFirstNote, 127);  // 50 x 2.55 = 127.49...
  EXPECT_EQ(caption(kVolumeBarBase + 2), "49");
  EXPECT_EQ(sent(), audition);
}

TEST_F(WindowTest, AShiftBarClickShowsMinusTwelveZeroPlusTwelve) {
  drawRegister(6, "1", 100, 0, 5);
  mouse.press(Input_lbutton);
  const int id = kShiftBarBase + 6;
  struct Case {
    int dx;
    float level;
    const char* caption;
  };
  for (Case c : {Case{-1, 0, "-12"}, Case{59, 50, "0"}, Case{119, 100, "12"}}) {
    pointAt(id, c.dx, 5);
    setCursor(id, WM_MOUSEMOVE);
    EXPECT_EQ(caption(id), c.caption) << c.dx;
    EXPECT_FLOAT_EQ(value(id), c.level);
  }
}

TEST_F(WindowTest, TheMasterKnobAtOneHundredShowsEveryVolumeBarAt100) {
  for (int r = 1; r <= kRegisters; ++r) consoleState.regVolume[r] = 10;
  // A pointer position whose bearing is the top of the knob's range.
  bool found = false;
  for (int dy = 50; dy < 100 && !found; ++dy)
    for (int dx = 50; dx < 100 && !found; ++dx) {
      pointAt(kMasterVolumeKnob, dx, dy);
      found = Round_even(Ctl_knobangle(client(), kMasterVolumeKnob)) == 151;
    }
  ASSERT_TRUE(found);
  mouse.press(Input_lbutton);
  setCursor(kMasterVolumeKnob, WM_LBUTTONDOWN);
  EXPECT_FLOAT_EQ(value(kMasterVolumeKnob), 100);
  for (int r = 1; r <= kRegisters; ++r) {
    EXPECT_NEAR(value(kVolumeBarBase + r), 100, 1e-3);
    EXPECT_EQ(caption(kVolumeBarBase + r), "100");
  }
}

TEST_F(WindowTest, AnAngleOutsideTheKnobsRangeChangesNoVolumeButTheKnobsOwn) {
  for (int r = 1; r <= kRegisters; ++r) consoleState.regVolume[r] = 10;
  pointAt(kMasterVolumeKnob, 50, 99);  // straight below: outside -151..151
  mouse.press(Input_lbutton);
  setCursor(kMasterVolumeKnob, WM_LBUTTONDOWN);
  // The knob stays at 100 %, so the volumes follow its stored position.
  EXPECT_FLOAT_EQ(value(kMasterVolumeKnob), 100);
  EXPECT_EQ(consoleState.regVolume[1], 255);
}

TEST_F(WindowTest, PushButtonsShowThePressedLookDuringTheirPauseWithTheActionDone) {
  struct Seen {
    int slot;
    int volume;
    float bar;
    Messages sent;
  };
  std::vector<Seen> seen;
  for (int r = 1; r <= kRegisters; ++r) consoleState.regVolume[r] = 3;
  onPause = [&](int) {
    seen.push_back({Ctl_slot(client(), kButtonVolumesFull, 1), consoleState.regVolume[32],
                    value(kVolumeBarBase + 32), sent()});
  };
  command(kButtonVolumesFull);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].slot, 1);
  EXPECT_EQ(seen[0].volume, 255);
  EXPECT_FLOAT_EQ(seen[0].bar, 100);
  EXPECT_TRUE(seen[0].sent.empty());
  EXPECT_EQ(Ctl_slot(client(), kButtonVolumesFull, 1), 0);
  EXPECT_EQ(pauses, std::vector<int>{300});

  seen.clear();
  onPause = [&](int) { seen.push_back({Ctl_slot(client(), kButtonNoteOff, 1), 0, 0, sent()}); };
  command(kButtonNoteOff);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].slot, 1);
  EXPECT_EQ(seen[0].sent, allNotesOff());
  EXPECT_EQ(Ctl_slot(client(), kButtonNoteOff, 1), 0);
}

TEST_F(WindowTest, ButtonsOnAllRegistersRedrawWhatTheyChanged) {
  for (int r = 1; r <= kRegisters; ++r) drawRegister(r, std::to_string(r), 100, 0, 3, 4);
  command(kButtonRegistersOff);
  EXPECT_FLOAT_EQ(value(kRegisterButtonBase + 32), 0);
  command(kButtonRegistersOn);
  EXPECT_FLOAT_EQ(value(kRegisterButtonBase + 1), 100);
  outDriver->clear();
  command(kButtonResetShift);
  command(kButtonResetMulti);
  EXPECT_EQ(caption(kShiftBarBase + 9), "0");
  EXPECT_FLOAT_EQ(value(kShiftBarBase + 9), 50);
  EXPECT_EQ(caption(kMultiStepperBase + 9), "0");
  command(kButtonRegistersFromTable);
  EXPECT_EQ(caption(kRegisterButtonBase + 20), "19 Church Organ");
  EXPECT_EQ(Ctl_slot(client(), kRegisterButtonBase + 20, 6), 19);
  EXPECT_TRUE(sent().empty());
}

TEST_F(WindowTest, PresetZeroWhileActiveSavesAndReloadsIt) {
  drawRegister(1, programName[19], 77, -1, 2, 3);
  command(kCmdPreset0);
  const std::string file = readFile("consolle.ini");
  EXPECT_EQ(file.substr(0, file.find("\r\n") + 2), " 1 , 19 Church Organ, 77 ,-1 , 2 , 3 \r\n");
  EXPECT_EQ(presetName, "consolle");
  EXPECT_EQ(consoleState.regVolume[1], 77);
  EXPECT_EQ(consoleState.regName[1], programName[19]);
  EXPECT_EQ(caption(kVolumeBarBase + 1), "30");
  EXPECT_TRUE(readFile("consolle.cfg").find("Midi Out") != std::string::npos);
}

TEST_F(WindowTest, AfterVolumesFullAndAPresetSwitchTheOldPresetHoldsFullVolumes) {
  command(kButtonVolumesFull);
  command(kCmdPreset1);
  EXPECT_EQ(presetName, "consolle1");
  const std::string file = readFile("consolle.ini");
  int lines = 0;
  for (size_t at = 0; (at = file.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(lines, 32);
  size_t full = 0;
  for (size_t at = 0; (at = file.find(", 255 ,", at)) != std::string::npos; ++at) ++full;
  EXPECT_EQ(full, 32u);
}

TEST_F(WindowTest, APresetSwitchThatCannotSaveSaysWhichFileAndWhyThenSwitches) {
  // A folder in the preset file's place: the rename over it fails, for root
  // too, and the folder stays as it was.
  ASSERT_EQ(::mkdir("consolle.ini", 0755), 0);
  drawRegister(1, programName[19], 77);
  command(kCmdPreset1);
  const std::string why = "Impossibile salvare consolle.ini: " +
                          Text_fromqt(QString::fromLocal8Bit(std::strerror(EISDIR)));
  EXPECT_EQ(messages, std::vector<std::string>{why});
  int logged = 0;
  for (int i = 0; i < MessageLog_count(); ++i) logged += MessageLog_line(i) == why;
  EXPECT_EQ(logged, 1);
  EXPECT_EQ(presetName, "consolle1");
  EXPECT_TRUE(readFile("consolle.cfg").find("Midi Out") != std::string::npos);
}

TEST_F(WindowTest, TheRunningLightMovesOneLampAtATime) {
  std::vector<int> steps;
  for (int i = 0; i < 5; ++i) {
    Console_proc({WM_TIMER, kRunningLightTimer, 0});
    steps.push_back(lightStep);
    for (int k = 0; k < 4; ++k)
      EXPECT_FLOAT_EQ(value(kRunningLightBase + k), k == lightStep ? 55 : 0);
  }
  EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 0, 1}));
  Console_proc({WM_TIMER, 1234, 0});
  EXPECT_EQ(lightStep, 1);
}

TEST_F(WindowTest, PlayerMessagesPlayThroughTheRegistersOrPassOnUnchanged) {
  drawRegister(1, "19 Church Organ", 200);
  const int32_t noteOn = 0x95 + 256 * 60 + 65536 * 100;
  Console_proc({WM_PLAYER_MIDI, 1, noteOn});
  EXPECT_EQ(sent(), (Messages{msg(0xC5, 19), msg(0xB5, 10, 64), msg(0x95, 60, 100)}));
  EXPECT_FLOAT_EQ(value(kIndicatorBase + 5), 128);
  outDriver->clear();
  Console_proc({WM_PLAYER_MIDI, 0, noteOn});
  EXPECT_EQ(sent(), (Messages{static_cast<uint32_t>(noteOn)}));
  outDriver->clear();
  Console_proc({WM_PLAYER_MIDI, 1, 0x65 + 256 * 7});  // a controller in filtered mode: dropped
  EXPECT_TRUE(sent().empty());
  Console_proc({WM_PLAYER_MIDI, 0, 0});
  EXPECT_EQ(sent(), allNotesOff());
}

TEST_F(WindowTest, APlayerRequestIsAnsweredBeforeWhatItShowsIsDrawn) {
  drawRegister(1, "19 Church Organ", 200);
  const float lamp = value(kIndicatorBase + 5);
  ASSERT_NE(lamp, 128);
  Console_playerrequest(1, 0x95 + 256 * 60 + 65536 * 100);
  // Its MIDI is out for the answer; its lamp is drawn after it.
  EXPECT_EQ(sent(), (Messages{msg(0xC5, 19), msg(0xB5, 10, 64), msg(0x95, 60, 100)}));
  EXPECT_FLOAT_EQ(value(kIndicatorBase + 5), lamp);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (value(kIndicatorBase + 5) != 128 && std::chrono::steady_clock::now() < until)
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_FLOAT_EQ(value(kIndicatorBase + 5), 128);
}

TEST_F(WindowTest, EveryEndSilencesFirst) {
  command(kCmdEnd);
  EXPECT_EQ(sent(), allNotesOff());
  EXPECT_TRUE(window->ending());
  EXPECT_EQ(window->endCode(), 0);
  EXPECT_EQ(Console_proc(Msg_command(kCmdEnd)), 1);
}

TEST_F(WindowTest, EscapeEndsWithCodeOneAfterSilencing) {
  command(kCmdCancel);
  EXPECT_EQ(sent(), allNotesOff());
  EXPECT_TRUE(window->ending());
  EXPECT_EQ(window->endCode(), 1);
}

TEST_F(WindowTest, TheCloseBoxSilencesOnceAndEnds) {
  window->close();
  EXPECT_EQ(sent(), allNotesOff());
  EXPECT_TRUE(window->ending());
}

TEST_F(WindowTest, ASendFailureShowsTheOperationsTextAndEndsTheWindow) {
  outDriver->failSend(1);
  command(kButtonNoteOff);
  EXPECT_EQ(messages, std::vector<std::string>{"Errore in Midi_message"});
  EXPECT_TRUE(window->ending());
}

TEST_F(WindowTest, InputThreadRequestsAreDrawnOnTheWindowThreadAfterTheWake) {
  drawRegister(1, "19 Church Organ", 200);
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  const uint32_t noteOn = 0x90 + 256 * 60 + 65536 * 100;
  inDriver->inject(1, noteOn);
  inDriver->drain();
  // Key 37 (middle C, a white key at 21 white widths): not yet drawn, the
  // MIDI thread only queued the request.
  const QRgb white = keyPixel(kKeyboardUpper, 407, 55);
  EXPECT_EQ(white, qRgb(255, 255, 210));
  EXPECT_TRUE(processUntil([] { return keyPixel(kKeyboardUpper, 407, 55) == qRgb(255, 0, 0); }));
  EXPECT_EQ(sent(), (Messages{msg(0xC0, 19), msg(0xB0, 10, 64), msg(0x90, 60, 100), noteOn}));
  EXPECT_FLOAT_EQ(value(kIndicatorBase), 128);
}

TEST_F(WindowTest, APauseNeverHoldsUpTheInputWhoseDrawingsFollowTheCommand) {
  drawRegister(1, "19 Church Organ", 200);
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  const uint32_t noteOn = 0x90 + 256 * 60 + 65536 * 100;
  Messages duringPause;
  QRgb keyDuringPause = 0;
  onPause = [&](int) {
    inDriver->inject(1, noteOn);
    inDriver->drain();
    duringPause = sent();
    keyDuringPause = keyPixel(kKeyboardUpper, 407, 55);
  };
  command(kButtonResetShift);
  // The key sounded while the window was paused...
  EXPECT_EQ(duringPause, (Messages{msg(0xC0, 19), msg(0xB0, 10, 64), msg(0x90, 60, 100), noteOn}));
  EXPECT_EQ(keyDuringPause, qRgb(255, 255, 210));
  // ...and is drawn once the window thread is free again.
  EXPECT_TRUE(processUntil([] { return keyPixel(kKeyboardUpper, 407, 55) == qRgb(255, 0, 0); }));
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(WindowTest, AKeyMarkedBeforeAPauseIsOnTheScreenDuringIt) {
  window->show();
  processUntil([&] { return window->isVisible(); });
  QApplication::processEvents();
  PaintCounter counter;
  Keyboard_display(kKeyboardUpper)->installEventFilter(&counter);
  drawRegister(2, "19 Church Organ", 100);
  // The audition marks each key, then pauses: each pause finds the key
  // painted, with its mark.
  std::vector<int> paintsAtPause;
  onPause = [&](int) { paintsAtPause.push_back(counter.paints); };
  pointAt(kVolumeBarBase + 2, 59, 5);
  mouse.press(Input_rbutton);
  setCursor(kVolumeBarBase + 2, WM_RBUTTONDOWN);
  ASSERT_EQ(paintsAtPause.size(), 5u);
  for (size_t i = 1; i < paintsAtPause.size(); ++i)
    EXPECT_GT(paintsAtPause[i], paintsAtPause[i - 1]);
  EXPECT_GT(paintsAtPause[0], 0);
  Keyboard_display(kKeyboardUpper)->removeEventFilter(&counter);
}

TEST_F(WindowTest, TheAuthorItemShowsTheAboutBox) {
  command(kCmdAbout);
  EXPECT_EQ(messages, std::vector<std::string>{About_text()});
}

TEST_F(WindowTest, AfterABurstOfInputTheDisplayShowsTheFinalState) {
  for (int r = 1; r <= kRegisters; ++r) drawRegister(r, "19 Church Organ", 200);
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  // 200 keys pressed and released on channel 0, then one left held on
  // channel 3 (played on the output channel, 0, and shown on the lower
  // keyboard): the lamp, the keys and the displays end as the last requests
  // left them, and every message went out.
  for (int i = 0; i < 200; ++i) {
    const int n = 36 + (i * 7) % 48;
    inDriver->inject(1, 0x90 + 256 * n + 65536 * 100);
    inDriver->inject(1, 0x80 + 256 * n);
  }
  inDriver->inject(1, 0x93 + 256 * 60 + 65536 * 90);
  inDriver->drain();
  // Only the held key marks the lower keyboard, and it lights the lamp last.
  EXPECT_TRUE(processUntil([] {
    return keyPixel(kKeyboardLower, 407, 55) == qRgb(255, 0, 0) && value(kIndicatorBase) == 128;
  }));
  EXPECT_EQ(Display_dropped(), 0u);
  // 200 presses through 32 registers (3 messages each) and 200 releases
  // (1 each), each forwarded, and the held key.
  EXPECT_EQ(outDriver->sendCount(), 200 * (32 * 3 + 1) + 200 * (32 + 1) + 32 * 3 + 1);
  // No key of the upper keyboard is left marked.
  for (int k = 1; k <= 72; ++k) {
    if (Key_isblack(k)) continue;
    const int x = static_cast<int>((Key_whiteposition(k) + 0.5) * 800.0 / 42);
    EXPECT_NE(keyPixel(kKeyboardUpper, x, 55), qRgb(255, 0, 0)) << k;
  }
}

TEST_F(WindowTest, AFailureOnTheInputThreadReachesTheWindowThread) {
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  drawRegister(1, "1", 200);
  outDriver->failSend(3);  // the note itself
  inDriver->inject(1, 0x90 + 256 * 60 + 65536 * 100);
  inDriver->drain();
  EXPECT_TRUE(processUntil([&] { return !messages.empty(); }));
  EXPECT_EQ(messages, std::vector<std::string>{"Errore in Midi_noteon"});
  EXPECT_TRUE(window->ending());
}

TEST_F(WindowTest, TheWindowTurnsMouseEventsIntoSetCursorAndKeyboardCommands) {
  drawRegister(1, "19 Church Organ", 200);
  QWidget* keyboard = Keyboard_display(kKeyboardUpper);
  const QPoint local(100, 5);
  pointAt(kKeyboardUpper, local.x(), local.y());
  mouse.press(Input_lbutton);
  const QPoint global = keyboard->mapToGlobal(local);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(global), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(keyboard, &press);
  EXPECT_EQ(sent(), (Messages{msg(0xC0, 19), msg(0xB0, 10, 64), msg(0x90, 33, 100)}));
  outDriver->clear();
  mouse.release(Input_lbutton);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(local), QPointF(global), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(keyboard, &release);
  EXPECT_EQ(sent(), allNotesOff());

  // A click on a custom control reaches the procedure as its command.
  outDriver->clear();
  QWidget* pan = Ctl_window(client(), kPanSwitchBase + 1);
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5),
                    QPointF(pan->mapToGlobal(QPoint(5, 5))), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(pan, &click);
  EXPECT_EQ(consoleState.regPan[1], 1);
}

TEST_F(WindowTest, TheOutputDeviceDialogListsPreselectsAndSwitches) {
  std::vector<std::string> listed;
  int preselected = -1;
  QTimer::singleShot(0, [&] {
    auto* dialog = dynamic_cast<DeviceChoiceDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Midi out device"));
    auto* list = dialog->findChild<QComboBox*>(QStringLiteral("2600"));
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < list->count(); ++i) listed.push_back(list->itemText(i).toStdString());
    preselected = list->currentIndex();
    list->setCurrentIndex(2);
    emit list->activated(2);
  });
  command(kCmdMidiOut);
  EXPECT_EQ(listed, (std::vector<std::string>{" 0 FluidSynth", " 1 Port A", " 2 Port B"}));
  EXPECT_EQ(preselected, 0);
  EXPECT_EQ(messages, std::vector<std::string>{"Midi out ora \xE8 :  2 Port B"});
  EXPECT_EQ(consoleState.midiOutDevice, 2);
  EXPECT_EQ(pauses, std::vector<int>{3000});  // the close's wait
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The chosen keyboard is unplugged: it is listed as missing and cannot be
// chosen; another one can, and becomes the choice.
TEST_F(WindowTest, TheInputDeviceDialogReopensAndStartsTheChosenInput) {
  midiInChoice = DeviceChoice{"USB Keyboard", 3, true, true};
  QTimer::singleShot(0, [&] {
    auto* dialog = dynamic_cast<DeviceChoiceDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Midi in device"));
    auto* list = dialog->findChild<QComboBox*>(QStringLiteral("2610"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentIndex(), 0);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(2), QStringLiteral(" - USB Keyboard (assente)"));
    auto* model = qobject_cast<QStandardItemModel*>(list->model());
    ASSERT_NE(model, nullptr);
    EXPECT_FALSE(model->item(2)->isEnabled());
    emit list->activated(2);
    EXPECT_EQ(QApplication::activeModalWidget(), dialog);
    emit list->activated(1);
  });
  command(kCmdMidiIn);
  EXPECT_EQ(messages, std::vector<std::string>{"Midi in ora \xE8 :  1 Keyboard"});
  EXPECT_EQ(consoleState.midiInDevice, 1);
  EXPECT_NE(consoleState.hMidiIn, 0);
  EXPECT_EQ(midiInChoice.name, "Keyboard");
  EXPECT_FALSE(midiInChoice.standIn);
}

TEST_F(WindowTest, ARightButtonOverARegisterButtonFillsTheProgramListForIt) {
  drawRegister(5, programName[19]);
  mouse.press(Input_rbutton);
  pointAt(kRegisterButtonBase + 5, 10, 10);
  setCursor(kRegisterButtonBase + 5, WM_RBUTTONDOWN);
  QListWidget* list = nullptr;
  for (auto* box : client()->findChildren<QListWidget*>())
    if (box->property("ztId").toInt() == kProgramList) list = box;
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 128);
  EXPECT_EQ(list->currentRow(), 19);
  // Choosing an item gives the register that program, and clears the list's selection.
  list->setCurrentRow(52);
  EXPECT_EQ(consoleState.regName[5], programName[52]);
  EXPECT_EQ(consoleState.regButtonProgram[5], 52);
  EXPECT_TRUE(list->selectedItems().isEmpty());
}

TEST_F(WindowTest, LogLinesGoToTheMessageLogWhichShowsTheLast) {
  Log_line("prima");
  Log_line("seconda \xE8");
  const int n = MessageLog_count();
  ASSERT_GE(n, 103);
  EXPECT_EQ(MessageLog_line(n - 2), "prima");
  EXPECT_EQ(MessageLog_line(n - 1), "seconda \xE8");
}

// The log keeps its most recent lines, shows the last, and scrolls sideways
// as far as the widest line it holds, however many lines came before.
TEST_F(WindowTest, TheMessageLogKeepsItsLastLinesAndScrollsToTheEndOfTheWidest) {
  QListView* box = nullptr;
  for (auto* view : client()->findChildren<QListView*>())
    if (view->property("ztId").toInt() == kMessageLog) box = view;
  ASSERT_NE(box, nullptr);
  window->show();
  auto scrollReach = [box] {
    MessageLog_show();
    QApplication::processEvents();
    return box->horizontalScrollBar()->maximum() + box->viewport()->width();
  };
  const std::string wide = "[12] " + std::string(200, 'W');
  Log_line(wide);
  for (int i = 0; i < 5999; ++i) Log_line("riga " + std::to_string(i));
  EXPECT_EQ(MessageLog_count(), 5000);
  EXPECT_EQ(MessageLog_line(4999), "riga 5998");
  EXPECT_EQ(box->currentIndex().row(), 4999);
  EXPECT_LT(scrollReach(), box->fontMetrics().horizontalAdvance(Text_toqt(wide)));

  Log_line(wide);
  Log_line("ultima");
  EXPECT_EQ(MessageLog_line(4999), "ultima");
  EXPECT_GE(scrollReach(), box->fontMetrics().horizontalAdvance(Text_toqt(wide)));
}

}  // namespace
}  // namespace zt::test
