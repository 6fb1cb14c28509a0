// The console's commands on the register table and what they send.
#include "tests/support/engine_fixture.h"

namespace zt::test {
namespace {

class CommandsTest : public EngineTest {};

TEST_F(CommandsTest, BarPositionsConvertWithHalvesToEvenAndSinglePrecision) {
  EXPECT_EQ(Shift_frombar(50), 0);
  EXPECT_EQ(Shift_frombar(100), 12);
  EXPECT_EQ(Shift_frombar(0), -12);
  EXPECT_EQ(Shift_frombar(25), -6);
  EXPECT_EQ(Shift_frombar(-30), -12);  // left of the bar
  EXPECT_EQ(Shift_frombar(1), -12);    // -11.76
  EXPECT_EQ(Shift_frombar(3), -11);    // -11.28
  EXPECT_EQ(Volume_frombar(100), 255);
  EXPECT_EQ(Volume_frombar(50), 127);  // 127.49...: the constant is 2.5499999523
  EXPECT_EQ(Volume_frombar(0), 0);
  EXPECT_EQ(Volume_frombar(-10), 0);
  EXPECT_EQ(Volume_frombar(1), 3);    // 2.55 rounds up
  EXPECT_EQ(Volume_frombar(10), 25);  // 25.4999...
}

TEST_F(CommandsTest, ShiftSetSilencesEverythingBeforeTheNewShift) {
  openOutput();
  drawRegister(1, "19 Organ", 255);
  Midi_noteon(60, 127, 0, kKeyboardUpper);
  outDriver->clear();
  EXPECT_EQ(Reg_shiftset(1, 100), 12);
  EXPECT_EQ(sent(), allNotesOff());
  EXPECT_EQ(consoleState.regShift[1], 12);
  // The release is computed from the new shift.
  outDriver->clear();
  Midi_noteoff(60, 0, kKeyboardUpper);
  EXPECT_EQ(sent(), std::vector<uint32_t>{msg(0x80, 72)});
}

TEST_F(CommandsTest, ResetShiftAndRegisterOffSendNothingSoHeldNotesKeepSounding) {
  openOutput();
  drawRegister(1, "19 Organ", 255, 0, 5);
  drawRegister(2, "20 Reed", 255, 0, 0, 4);
  Midi_noteon(60, 127, 0, kKeyboardUpper);
  outDriver->clear();
  Reg_resetshift();
  Reg_toggle(2);
  Reg_resetmulti();
  Reg_volumesfull();
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(consoleState.regShift[1], 0);
  EXPECT_EQ(consoleState.regMulti[2], 0);
  Midi_noteoff(60, 0, kKeyboardUpper);
  // Register 1 releases 60, not the 65 it started; register 2 releases nothing.
  EXPECT_EQ(sent(), std::vector<uint32_t>{msg(0x80, 60)});
}

TEST_F(CommandsTest, RegistersOnDrawsAllAndTheNextKeyPlaysThirtyTwoTimes) {
  openOutput();
  for (int r = 1; r <= kRegisters; ++r) Reg_setname(r, std::to_string(r + 10) + " P");
  Reg_allon();
  EXPECT_EQ(sent(), allNotesOff());
  outDriver->clear();
  Midi_noteon(60, 127, 0, kKeyboardUpper);
  auto m = sent();
  ASSERT_EQ(m.size(), 96u);
  EXPECT_EQ(m[93], msg(0xC0, 42));
  outDriver->clear();
  Reg_alloff();
  for (int r = 1; r <= kRegisters; ++r) EXPECT_EQ(consoleState.regOn[r], 0);
  EXPECT_EQ(sent(), allNotesOff());
}

TEST_F(CommandsTest, SteppersStopAtTheirLimits) {
  consoleState.regMulti[4] = 11;
  EXPECT_EQ(Reg_multistep(4, +1), 12);
  EXPECT_EQ(Reg_multistep(4, +1), 12);
  consoleState.regMulti[4] = 1;
  EXPECT_EQ(Reg_multistep(4, -1), 0);
  EXPECT_EQ(Reg_multistep(4, -1), 0);

  for (int p = 0; p < 128; ++p) programName[p] = Text_trim(p) + " Name" + Text_trim(p);
  consoleState.regButtonProgram[6] = 126;
  EXPECT_EQ(Reg_programstep(6, +1), 127);
  EXPECT_EQ(Reg_programstep(6, +1), 127);
  EXPECT_EQ(consoleState.regName[6], "127 Name127");
  EXPECT_EQ(consoleState.regProgram[6], 127);
  consoleState.regButtonProgram[6] = 2;
  EXPECT_EQ(Reg_programstep(6, -1), 1);
  EXPECT_EQ(Reg_programstep(6, -1), 1);
  EXPECT_EQ(consoleState.regProgram[6], 1);
}

TEST_F(CommandsTest, PanCyclesCentreRightLeft) {
  Reg_pancycle(3);
  EXPECT_EQ(consoleState.regPan[3], 1);
  Reg_pancycle(3);
  EXPECT_EQ(consoleState.regPan[3], -1);
  Reg_pancycle(3);
  EXPECT_EQ(consoleState.regPan[3], 0);
  consoleState.regPan[3] = 5;
  Reg_pancycle(3);
  EXPECT_EQ(consoleState.regPan[3], -1);
}

TEST_F(CommandsTest, VolumesFromBarsKnobAndTable) {
  EXPECT_EQ(Reg_volumeset(2, 50), 127);
  EXPECT_EQ(consoleState.regVolume[2], 127);
  Reg_mastervolume(100);
  for (int r = 1; r <= kRegisters; ++r) EXPECT_EQ(consoleState.regVolume[r], 255);
  for (int p = 0; p < 128; ++p) programName[p] = Text_trim(p) + " GM";
  consoleState.regOn[5] = 1;
  Reg_fromtable();
  EXPECT_EQ(consoleState.regName[1], "0 GM");
  EXPECT_EQ(consoleState.regName[32], "31 GM");
  EXPECT_EQ(consoleState.regButtonProgram[32], 31);
  EXPECT_EQ(consoleState.regOn[5], 1);
}

TEST_F(CommandsTest, LabelsGiveTheProgramNumber) {
  Reg_setname(1, " 12 Vox Humana");
  EXPECT_EQ(consoleState.regProgram[1], 12);
  Reg_setname(1, "");
  EXPECT_EQ(consoleState.regProgram[1], 0);
  Reg_setname(1, "Flute");
  EXPECT_EQ(consoleState.regProgram[1], 0);
}

TEST_F(CommandsTest, AuditionSetsTheChannelThenPlaysBothPatternsWithPauses) {
  openOutput();
  drawRegister(8, "73 Flute", 255, 1);
  consoleState.regOn[8] = 0;  // audition plays the register whether drawn or not
  Reg_audition(8);
  EXPECT_EQ(sent(), (std::vector<uint32_t>{
                        msg(0xC0, 73),
                        msg(0xB0, 10, 127),
                        msg(0x90, 63, 127),
                        msg(0x80, 63),
                        msg(0x90, 65, 127),
                        msg(0x80, 65),
                        msg(0x90, 44, 127),
                        msg(0x80, 44),
                        msg(0x90, 48, 127),
                        msg(0x90, 50, 127),
                        msg(0x90, 36, 127),
                        msg(0x90, 62, 127),
                        msg(0x80, 48),
                        msg(0x80, 50),
                        msg(0x80, 36),
                        msg(0x80, 62),
                    }));
  EXPECT_EQ(pauses(), (std::vector<int>{300, 300, 300, 400, 400}));
  auto keys = sink.of(DisplayKind::keyboard);
  ASSERT_EQ(keys.size(), 14u);
  EXPECT_EQ(keys[0].key, 63 - 23);
  EXPECT_EQ(keys[0].colour, RGB(255, 22, 22));
  EXPECT_EQ(keys[1].colour, -2);
  outDriver->clear();
  Midi_audition("60", "other");
  EXPECT_TRUE(sent().empty());
}

TEST_F(CommandsTest, OnScreenKeyPlaysTheNoteOnTheOutputChannel) {
  openOutput();
  drawRegister(1, "19 Organ", 255);
  Key_play(37, kKeyboardLower);
  EXPECT_EQ(sent(), (std::vector<uint32_t>{msg(0xC0, 19), msg(0xB0, 10, 64), msg(0x90, 60, 127)}));
  EXPECT_EQ(sink.of(DisplayKind::keyboard)[0].id, kKeyboardLower);
}

}  // namespace
}  // namespace zt::test
