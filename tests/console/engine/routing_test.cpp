// What the routing sends for each kind of incoming message, byte for byte,
// and what it shows.
#include <algorithm>

#include "tests/support/engine_fixture.h"

namespace zt::test {
namespace {

class RoutingTest : public EngineTest {};

void keyFromKeyboard(uint32_t m, uint32_t ms = 0) { Midi_inproc(1, MIM_DATA, 0, m, ms); }

TEST_F(RoutingTest, KeyThroughTwoRegistersSendsInOrderAndShowsTexts) {
  openOutput();
  drawRegister(3, "19 Church Organ", 200, 0);
  drawRegister(7, " 20 Reed Organ", 101, -1);
  keyFromKeyboard(msg(0x90, 60, 100), 1234);

  EXPECT_EQ(sent(), (std::vector<uint32_t>{
                        msg(0xC0, 19), msg(0xB0, 10, 64), msg(0x90, 60, 100),  // register 3
                        msg(0xC0, 20), msg(0xB0, 10, 0), msg(0x90, 60, 50),    // register 7
                        msg(0x90, 60, 100),                                    // the key itself
                    }));
  EXPECT_EQ(sink.texts(DisplayKind::status),
            std::vector<std::string>{"<Canale: 0 Nota: 60 Velocit\xE0: 100 OnOff: 1 1234ms"});
  EXPECT_EQ(sink.texts(DisplayKind::note), std::vector<std::string>{"60 do C:5"});
  // The status display comes last, after the note display.
  EXPECT_EQ(sink.requests.back().kind, DisplayKind::status);
  auto keys = sink.of(DisplayKind::keyboard);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].id, kKeyboardUpper);
  EXPECT_EQ(keys[0].key, 60 - 23);
  EXPECT_EQ(keys[0].colour, RGB(255, 0, 0));
  auto lamps = sink.of(DisplayKind::indicator);
  ASSERT_EQ(lamps.size(), 2u);
  EXPECT_EQ(lamps[0].id, 130);
  EXPECT_EQ(lamps[0].level, 128);
  EXPECT_EQ(consoleState.lastNote, 60);
  EXPECT_EQ(consoleState.lastNoteOn, 1);
}

TEST_F(RoutingTest, ReleasesAreNoteOffsAndVelocityZeroNoteOns) {
  openOutput();
  drawRegister(1, "19 Organ", 255, 1, 2, 0);
  keyFromKeyboard(msg(0x95, 50, 0), 7);  // velocity 0 on channel 5
  keyFromKeyboard(msg(0x83, 51, 64), 8);
  EXPECT_EQ(sent(), (std::vector<uint32_t>{msg(0x80, 52), msg(0x95, 50, 0), msg(0x80, 53),
                                           msg(0x83, 51, 64)}));
  auto status = sink.texts(DisplayKind::status);
  ASSERT_EQ(status.size(), 2u);
  EXPECT_EQ(status[0], "<Canale: 5 Nota: 50 Velocit\xE0: 0 OnOff: 0 7ms");
  EXPECT_EQ(status[1], "<Canale: 3 Nota: 51 Velocit\xE0: 64 OnOff: 0 8ms");
  EXPECT_TRUE(sink.texts(DisplayKind::note).empty());  // only presses show the note
  auto keys = sink.of(DisplayKind::keyboard);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].id, kKeyboardLower);
  EXPECT_EQ(keys[0].colour, -2);
  EXPECT_EQ(consoleState.lastNoteOn, 0);
  for (auto& lamp : sink.of(DisplayKind::indicator)) EXPECT_EQ(lamp.level, 28);
}

TEST_F(RoutingTest, WithNoRegisterDrawnTheKeyIsMarkedAndForwardedOnly) {
  openOutput();
  keyFromKeyboard(msg(0x90, 64, 90));
  EXPECT_EQ(sent(), std::vector<uint32_t>{msg(0x90, 64, 90)});
  EXPECT_EQ(sink.of(DisplayKind::keyboard).size(), 1u);
  EXPECT_TRUE(sink.of(DisplayKind::indicator).empty());
}

TEST_F(RoutingTest, VolumeBecomesVelocityHalvedAndRoundedDown) {
  openOutput();
  const int volumes[] = {255, 254, 1, 0, 128};
  const int velocities[] = {127, 127, 0, 0, 64};
  for (int i = 0; i < 5; ++i) {
    drawRegister(1, "0", volumes[i]);
    outDriver->clear();
    Midi_noteon(60, 127, 0, kKeyboardUpper);
    auto m = sent();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[2], msg(0x90, 60, velocities[i])) << "volume " << volumes[i];
  }
}

TEST_F(RoutingTest, ShiftAndMultiNoteSoundBothNotesAndMarkTheAddedKey) {
  openOutput();
  drawRegister(1, "52 Choir", 254, 0, 12, 7);
  Midi_noteon(60, 127, 0, kKeyboardUpper);
  Midi_noteoff(60, 0, kKeyboardUpper);
  EXPECT_EQ(sent(), (std::vector<uint32_t>{msg(0xC0, 52), msg(0xB0, 10, 64), msg(0x90, 72, 127),
                                           msg(0x90, 79, 127), msg(0x80, 72), msg(0x80, 79)}));
  auto keys = sink.of(DisplayKind::keyboard);
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[1].key, 60 + 7 - 23);
  EXPECT_EQ(keys[1].colour, kMultiNoteColour);
  EXPECT_EQ(keys[3].key, 60 + 7 - 23);
  EXPECT_EQ(keys[3].colour, -2);
}

TEST_F(RoutingTest, NotesAndProgramsOutsideTheMidiRangeNeverCorruptAMessage) {
  openOutput();
  drawRegister(1, "300 Too high", 255, 0, 12, 12);
  drawRegister(2, "-5 Too low", 255, 0, -12, 0);
  Midi_noteon(120, 127, 0, kKeyboardUpper);  // 132 and 144 are out of range
  Midi_noteon(5, 127, 0, kKeyboardUpper);    // -7 is out of range; 17 + ... from register 1
  for (uint32_t m : sent()) {
    EXPECT_LT((m >> 8) & 0xFF, 0x80u) << std::hex << m;
    EXPECT_LT((m >> 16) & 0xFF, 0x80u) << std::hex << m;
    EXPECT_EQ(m >> 24, 0u);
  }
  auto m = sent();
  EXPECT_EQ(m[0], msg(0xC0, 127));                                    // clamped program
  EXPECT_EQ(std::count(m.begin(), m.end(), msg(0xC0, 0)), 2);         // "-5" clamps to 0
  EXPECT_EQ(std::count(m.begin(), m.end(), msg(0x90, 17, 127)), 1);   // 5 + 12
  EXPECT_EQ(std::count(m.begin(), m.end(), msg(0x90, 29, 127)), 1);   // 5 + 12 + 12
  EXPECT_EQ(std::count(m.begin(), m.end(), msg(0x90, 108, 127)), 1);  // 120 - 12 on register 2
  // Key 120: program, pan, no note on register 1; program, pan, note on 2.
  // Key 5: program, pan and both notes on register 1; program, pan on 2.
  EXPECT_EQ(m.size(), 5u + 6u);
}

TEST_F(RoutingTest, ProgramChangesFromTheKeyboardToggleRegisters) {
  openOutput();
  Reg_setname(1, "19 Organ");
  keyFromKeyboard(msg(0xC0, 0));
  EXPECT_EQ(consoleState.regOn[1], 1);
  keyFromKeyboard(msg(0xC0, 0));
  EXPECT_EQ(consoleState.regOn[1], 0);
  consoleState.regOn[32] = 7;  // any value but 0 toggles to 0
  keyFromKeyboard(msg(0xC4, 31));
  EXPECT_EQ(consoleState.regOn[32], 0);
  keyFromKeyboard(msg(0xC0, 32));
  EXPECT_EQ(sent(),
            (std::vector<uint32_t>{msg(0xC0, 0), msg(0xC0, 0), msg(0xC4, 31), msg(0xC0, 32)}));
  auto buttons = sink.of(DisplayKind::registerButton);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0].id, 1001);
  EXPECT_EQ(buttons[0].level, 100);
  EXPECT_TRUE(buttons[0].captionIsLabel);
  EXPECT_EQ(buttons[1].level, 0);
  EXPECT_EQ(buttons[2].id, 1032);
  EXPECT_EQ(sink.texts(DisplayKind::status),
            (std::vector<std::string>{"<Program Change  1 192", "<Program Change  1 192",
                                      "<Program Change  32 196", "<Program Change  33 192"}));
}

TEST_F(RoutingTest, PitchBendSilencesEveryChannelFirst) {
  openOutput();
  keyFromKeyboard(msg(0xE2, 0, 70));
  auto m = sent();
  ASSERT_EQ(m.size(), 17u);
  for (int c = 0; c < 16; ++c) EXPECT_EQ(m[c], msg(0xB0 + c, 123, 0));
  EXPECT_EQ(m[16], msg(0xE2, 0, 70));
  EXPECT_EQ(sink.texts(DisplayKind::status).back(), "<Bender Change 70");
}

TEST_F(RoutingTest, OtherChannelMessagesPassUnchangedAndSystemMessagesAreDropped) {
  openOutput();
  keyFromKeyboard(msg(0xB1, 7, 100));
  keyFromKeyboard(msg(0xA0, 60, 5));
  keyFromKeyboard(msg(0xD3, 40));
  keyFromKeyboard(0xF8);
  keyFromKeyboard(0xFE);
  keyFromKeyboard(msg(0xF2, 1, 2));
  EXPECT_EQ(sent(), (std::vector<uint32_t>{msg(0xB1, 7, 100), msg(0xA0, 60, 5), msg(0xD3, 40)}));
  // Only the controller has a text; the system messages leave the display alone.
  EXPECT_EQ(sink.texts(DisplayKind::status), std::vector<std::string>{"<Controller Change 100"});
}

TEST_F(RoutingTest, DriverMessagesOtherThanDataShowTheirTexts) {
  openOutput();
  Midi_inproc(1, MIM_LONGDATA, 0, 0xABCDEF, 0x10);
  Midi_inproc(1, MIM_ERROR, 0, 0x1234F5, 255);
  Midi_inproc(1, MIM_LONGERROR, 0, 0, 0);
  Midi_inproc(1, 0x999, 0, 0, 0);
  EXPECT_EQ(sink.texts(DisplayKind::status),
            (std::vector<std::string>{"<longdata ABCDEF 10", "<Errore!!! 1234F5/FF", "<longerror",
                                      "<???"}));
  EXPECT_TRUE(sent().empty());
}

TEST_F(RoutingTest, PlayerNotesInFilteredModeGoThroughTheRegistersOnTheirOwnChannel) {
  openOutput();
  drawRegister(2, "19 Organ", 255);
  drawRegister(9, "20 Reed", 100);
  Midi_fromplayer(msg(0x95, 62, 90), 1);
  Midi_fromplayer(msg(0xB5, 7, 90), 1);  // dropped in filtered mode
  Midi_fromplayer(msg(0x85, 62, 0), 1);
  EXPECT_EQ(sent(), (std::vector<uint32_t>{msg(0xC5, 19), msg(0xB5, 10, 64), msg(0x95, 62, 127),
                                           msg(0xC5, 20), msg(0xB5, 10, 64), msg(0x95, 62, 50),
                                           msg(0x85, 62), msg(0x85, 62)}));
  auto keys = sink.of(DisplayKind::keyboard);
  EXPECT_EQ(keys[0].id, kKeyboardLower);
  EXPECT_EQ(keys[0].colour, RGB(255, 255, 0));
  auto lamps = sink.of(DisplayKind::indicator);
  ASSERT_EQ(lamps.size(), 4u);
  EXPECT_EQ(lamps[0].id, 135);
  EXPECT_EQ(lamps[0].level, 128);
  EXPECT_EQ(lamps[1].level, 128);
  EXPECT_TRUE(sink.texts(DisplayKind::status).empty());
  EXPECT_EQ(sink.texts(DisplayKind::note), std::vector<std::string>{"62 re D:5"});
}

TEST_F(RoutingTest, PlayerMessagesInDirectModeMarkOnceAndPassUnchanged) {
  openOutput();
  drawRegister(2, "19 Organ", 255);
  Midi_fromplayer(msg(0x95, 62, 90), 0);
  Midi_fromplayer(msg(0xB5, 7, 90), 0);
  Midi_fromplayer(msg(0x85, 62, 0), 0);
  Midi_fromplayer(0xF8, 0);
  EXPECT_EQ(sent(), (std::vector<uint32_t>{msg(0x95, 62, 90), msg(0xB5, 7, 90), msg(0x85, 62, 0)}));
  auto lamps = sink.of(DisplayKind::indicator);
  ASSERT_EQ(lamps.size(), 2u);
  EXPECT_EQ(lamps[0].level, 128);
  EXPECT_EQ(lamps[1].level, 28);
  EXPECT_EQ(sink.of(DisplayKind::keyboard).size(), 2u);
}

TEST_F(RoutingTest, FailedNoteSendStopsTheWalkAndAsksTheWindowToClose) {
  openOutput();
  drawRegister(1, "19 Organ", 255);
  drawRegister(2, "20 Reed", 255);
  drawRegister(3, "21 Accordion", 255);
  outDriver->failSend(6);  // the note-on of register 2
  keyFromKeyboard(msg(0x90, 60, 100));
  // Register 1 complete, register 2 up to its failed note, nothing of 3;
  // the key itself is still forwarded.
  EXPECT_EQ(sent(), (std::vector<uint32_t>{msg(0xC0, 19), msg(0xB0, 10, 64), msg(0x90, 60, 127),
                                           msg(0xC0, 20), msg(0xB0, 10, 64), msg(0x90, 60, 100)}));
  EXPECT_EQ(sink.failures, std::vector<std::string>{"Errore in Midi_noteon"});
}

TEST_F(RoutingTest, FailedProgramChangeIsReportedButTheWalkGoesOn) {
  openOutput();
  drawRegister(1, "19 Organ", 255);
  outDriver->failSend(1);
  Midi_noteon(60, 127, 0, kKeyboardUpper);
  EXPECT_EQ(sent(), (std::vector<uint32_t>{msg(0xB0, 10, 64), msg(0x90, 60, 127)}));
  EXPECT_EQ(sink.failures, std::vector<std::string>{"Errore in Midi_progchang\r\nDevice?"});
  outDriver->failSend(1);
  Midi_noteoff(60, 0, kKeyboardUpper);
  // Only the first failure reaches the window: it is already closing.
  EXPECT_EQ(sink.failures.size(), 1u);
}

TEST_F(RoutingTest, FailedReleaseReportsItsOwnOperation) {
  openOutput();
  drawRegister(1, "19 Organ", 255);
  outDriver->failSend(1);
  Midi_noteoff(60, 0, kKeyboardUpper);
  EXPECT_EQ(sink.failures, std::vector<std::string>{"Errore in Midi_noteoff"});
}

TEST_F(RoutingTest, AllNotesOffIsSixteenControllerMessagesInChannelOrder) {
  openOutput();
  Midi_notesoff();
  auto m = sent();
  ASSERT_EQ(m.size(), 16u);
  for (int c = 0; c < 16; ++c) EXPECT_EQ(m[c], msg(0xB0 + c, 0x7B, 0));
  auto keys = sink.of(DisplayKind::keyboard);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].colour, -1);
  EXPECT_EQ(keys[1].id, kKeyboardLower);
  EXPECT_EQ(sink.of(DisplayKind::indicator).size(), 16u);
}

TEST_F(RoutingTest, ChannelColoursFollowTheTable) {
  EXPECT_EQ(Midi_channelcolor(0), RGB(255, 0, 0));
  EXPECT_EQ(Midi_channelcolor(5), RGB(255, 255, 0));
  EXPECT_EQ(Midi_channelcolor(10), RGB(63, 63, 192));
  EXPECT_EQ(Midi_channelcolor(15), Midi_channelcolor(7));
  EXPECT_EQ(Midi_channelcolor(16), 0);
  EXPECT_EQ(Midi_channelcolor(-1), 0);
  EXPECT_EQ(RGB(300, -4, 128), 255 | (0 << 8) | (128 << 16));
}

}  // namespace
}  // namespace zt::test
