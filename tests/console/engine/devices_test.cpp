// Opening and closing the console's devices, the synthesiser check and the
// device dialogs' logic.
#include "platform/midi/synth_driver.h"
#include "tests/support/engine_fixture.h"

namespace zt::test {
namespace {

class DevicesTest : public EngineTest {};

TEST_F(DevicesTest, FindsALiveOrAweSynthesiserInAnyCase) {
  EXPECT_EQ(Midi_findsynth(), 0);
  MidiOut out;
  out.addDriver(std::make_shared<MemoryMidiOutDriver>(
      std::vector<std::string>{"Midi Through", "SB Live! Synth A"}));
  Engine_attach(out, *midiIn);
  EXPECT_EQ(Midi_findsynth(), 1);
  MidiOut awe;
  awe.addDriver(std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"creative aWe32"}));
  Engine_attach(awe, *midiIn);
  EXPECT_EQ(Midi_findsynth(), 1);
  // The embedded synthesiser is the SoundFont card, whatever its name.
  MidiOut embedded;
  embedded.addDriver(std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"Through"}));
  embedded.addDriver(std::make_shared<SynthOutDriver>());
  Engine_attach(embedded, *midiIn);
  EXPECT_EQ(Midi_findsynth(), 1);
  MidiOut none;
  Engine_attach(none, *midiIn);
  EXPECT_EQ(Midi_findsynth(), 0);
  auto dialog = Dialog_midiout();
  EXPECT_TRUE(dialog.entries.empty());
  EXPECT_EQ(sink.texts(DisplayKind::log), std::vector<std::string>{"Midi device out trovati : 0"});
  Engine_attach(*midiOut, *midiIn);
}

TEST_F(DevicesTest, InputOpensOnceAndClosesOnlyWhenOpen) {
  EXPECT_EQ(Midi_closein(), 0);
  EXPECT_EQ(Midi_openin(1), 1);
  EXPECT_NE(consoleState.hMidiIn, 0);
  EXPECT_EQ(Midi_openin(0), 0);  // already open
  EXPECT_EQ(Midi_startin(), 1);
  EXPECT_EQ(sink.texts(DisplayKind::log), std::vector<std::string>{"Open Midi Device In  1 is OK"});
  // The driver's open and close notices reach the status display.
  EXPECT_EQ(Midi_closein(), 1);
  EXPECT_EQ(consoleState.hMidiIn, 0);
  EXPECT_EQ(sink.texts(DisplayKind::status), (std::vector<std::string>{"<open", "<close"}));
  inDriver->failOpen(1, MIDIERR_ALLOCATED);
  EXPECT_EQ(Midi_openin(1), 0);
  EXPECT_EQ(consoleState.hMidiIn, 0);
  EXPECT_EQ(Midi_openin(9), 0);
}

TEST_F(DevicesTest, OutputOpenAndCloseWriteTheLog) {
  Midi_openout(2);
  int32_t first = consoleState.hMidiOut;
  EXPECT_NE(first, 0);
  Midi_closeout();
  EXPECT_EQ(consoleState.hMidiOut, first);  // the handle is kept, and sends on it now fail
  EXPECT_EQ(pauses(), std::vector<int>{3000});
  Midi_closeout();
  outDriver->failOpen(1, MIDIERR_ALLOCATED);
  Midi_openout(1);
  Midi_openout(7);
  auto log = sink.texts(DisplayKind::log);
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0], "Open Midi Device Out  2 \xE8 OK");
  EXPECT_EQ(log[1], "Close OK");
  EXPECT_EQ(log[2].rfind("Errore", 0), 0u);
  EXPECT_NE(log[2].find("invalid"), std::string::npos);
  EXPECT_EQ(log[3].rfind("Open Midi Device Out errore:", 0), 0u);
  EXPECT_NE(log[3].find(" 4"), std::string::npos);
  EXPECT_EQ(log[4].rfind("Open Midi Device Out errore:", 0), 0u);
}

TEST_F(DevicesTest, SendsOnAClosedOutputFailAndCloseTheConsole) {
  openOutput();
  drawRegister(1, "19 Organ", 255);
  Midi_closeout();
  Midi_noteon(60, 127, 0, kKeyboardUpper);
  EXPECT_EQ(outDriver->sendCount(), 0);
  ASSERT_EQ(sink.failures.size(), 1u);
  EXPECT_EQ(sink.failures[0], "Errore in Midi_progchang\r\nDevice?");
}

TEST_F(DevicesTest, OutputDialogListsEveryDeviceAndPreselectsBySynthFound) {
  auto dialog = Dialog_midiout();
  EXPECT_EQ(dialog.title, "Midi out device");
  EXPECT_EQ(dialog.entries, (std::vector<std::string>{" 0 FluidSynth", " 1 Port A", " 2 Port B"}));
  EXPECT_EQ(dialog.selected, 0);
  EXPECT_EQ(sink.texts(DisplayKind::log),
            (std::vector<std::string>{"Midi device out trovati : 3", " 0 FluidSynth", " 1 Port A",
                                      " 2 Port B"}));
  consoleState.synthFound = 1;
  EXPECT_EQ(Dialog_midiout().selected, 1);
}

TEST_F(DevicesTest, ChoosingAnOutputClosesWaitsShowsThenOpens) {
  openOutput(0);
  std::vector<std::string> shown;
  Dialog_midioutchoose(" 2 Port B", [&](const std::string& m) {
    shown.push_back(m);
    EXPECT_EQ(outDriver->openCount(), 0);  // the old output is closed before the message
  });
  EXPECT_EQ(shown, std::vector<std::string>{"Midi out ora \xE8 :  2 Port B"});
  EXPECT_EQ(consoleState.midiOutDevice, 2);
  EXPECT_EQ(outDriver->openCount(), 1);
  EXPECT_EQ(pauses(), std::vector<int>{3000});
  EXPECT_EQ(Midi_send(0x90), MIDI_OK);
  EXPECT_EQ(outDriver->records().back().port, 2);
}

// A choice is remembered by its port's stable name as well as its number,
// and a chosen device that is not there is listed as such, apart from the
// entries that can be chosen.
TEST_F(DevicesTest, AChoiceIsRememberedByNameAndAMissingOneIsListedApart) {
  openOutput(0);
  Dialog_midioutchoose(" 2 Port B", nullptr);
  EXPECT_EQ(midiOutChoice.name, "Port B");
  EXPECT_EQ(midiOutChoice.number, 2);
  EXPECT_FALSE(midiOutChoice.absent);
  Dialog_midiinchoose(" 1 Keyboard", nullptr);
  EXPECT_EQ(midiInChoice.name, "Keyboard");
  EXPECT_EQ(midiInChoice.number, 1);
  EXPECT_TRUE(Dialog_midiout().absentEntry.empty());

  // The ALSA sequencer's numbers are not part of the name.
  DeviceChoice alsa;
  Device_choose(alsa, " 3 USB Keyboard:USB Keyboard MIDI 1 20:0");
  EXPECT_EQ(alsa.name, "USB Keyboard:USB Keyboard MIDI 1");
  EXPECT_EQ(alsa.number, 3);

  midiOutChoice = DeviceChoice{"USB Synth", 3, true, true};
  const DeviceDialog dialog = Dialog_midiout();
  EXPECT_EQ(dialog.entries, (std::vector<std::string>{" 0 FluidSynth", " 1 Port A", " 2 Port B"}));
  EXPECT_EQ(dialog.absentEntry, " - USB Synth (assente)");
}

// The organist plays on while the output device is being changed: between
// the old output's close and the new one's open, keys are skipped, not
// failures, and everything else goes on.
MemoryMidiInDriver* keyboardDuringChange = nullptr;

void playAKey() {
  keyboardDuringChange->inject(1, (0x90 + 256 * 60 + 65536 * 100));
  keyboardDuringChange->inject(1, (0xC0 + 256 * 4));  // draws register 5
  keyboardDuringChange->inject(1, (0x80 + 256 * 60));
  keyboardDuringChange->drain();
}

TEST_F(DevicesTest, KeysPlayedDuringAnOutputChangeAreSkippedNotFailures) {
  openOutput(0);
  drawRegister(1, "19 Organ", 255, 0, 0, 7);
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  keyboardDuringChange = inDriver.get();
  enginePlatform.pause = [](int ms) {
    pauses().push_back(ms);
    playAKey();  // during the 3-second wait
  };
  Dialog_midioutchoose(" 2 Port B", [&](const std::string&) { playAKey(); });
  Display_drain();
  EXPECT_TRUE(sink.failures.empty());
  EXPECT_EQ(outDriver->sendCount(), 0);
  EXPECT_EQ(pauses(), std::vector<int>{3000});
  // The walk and the display went on: both keys were marked and released,
  // and the program changes drew register 5 and then put it back.
  int marks = 0, restores = 0;
  for (const auto& r : sink.of(DisplayKind::keyboard)) {
    if (r.key == 60 - kKeyOffset && r.colour == Midi_channelcolor(0)) ++marks;
    if (r.key == 60 - kKeyOffset && r.colour == kColourNatural) ++restores;
  }
  EXPECT_EQ(marks, 2);
  EXPECT_EQ(restores, 2);
  EXPECT_EQ(consoleState.regOn[5], 0);
  EXPECT_EQ(consoleState.lastNote, 60);

  // The new output plays the next key.
  playAKey();
  Display_drain();
  EXPECT_TRUE(sink.failures.empty());
  ASSERT_FALSE(outDriver->records().empty());
  EXPECT_EQ(outDriver->records().front().port, 2);
  EXPECT_EQ(sent().front(), msg(0xC0, 19));
  // Out of a device change a closed output still fails as before.
  enginePlatform.pause = [](int ms) { pauses().push_back(ms); };
  Midi_closeout();
  Midi_noteon(60, 127, 0, kKeyboardUpper);
  Display_drain();
  EXPECT_EQ(sink.failures.size(), 1u);
  Midi_closein();
  keyboardDuringChange = nullptr;
}

TEST_F(DevicesTest, ChoosingAnInputReopensAndStartsIt) {
  ASSERT_EQ(Midi_openin(0), 1);
  auto dialog = Dialog_midiin();
  EXPECT_EQ(dialog.title, "Midi in device");
  EXPECT_EQ(dialog.selected, 0);
  EXPECT_EQ(sink.texts(DisplayKind::log)[1], "Midi device trovati : 2");
  std::string shown;
  Dialog_midiinchoose(" 1 Keyboard", [&](const std::string& m) { shown = m; });
  EXPECT_EQ(shown, "Midi in ora \xE8 :  1 Keyboard");
  EXPECT_EQ(consoleState.midiInDevice, 1);
  openOutput();
  inDriver->inject(1, msg(0xB0, 7, 1));
  inDriver->inject(0, msg(0xB0, 7, 2));  // the old device is closed: lost
  inDriver->drain();
  EXPECT_EQ(sent(), std::vector<uint32_t>{msg(0xB0, 7, 1)});
}

}  // namespace
}  // namespace zt::test
