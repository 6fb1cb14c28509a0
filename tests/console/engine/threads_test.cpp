// The MIDI input thread and the window thread together: display requests
// cross through the queue, failures are handed over, and state changes race
// with keys without data races (run under ThreadSanitizer).
#include <atomic>
#include <thread>

#include "tests/support/engine_fixture.h"

namespace zt::test {
namespace {

class ThreadsTest : public EngineTest {};

TEST_F(ThreadsTest, KeysFromTheDriverThreadAreSentAtOnceAndShownAfterADrain) {
  openOutput();
  drawRegister(3, "19 Church Organ", 200);
  drawRegister(7, "20 Reed Organ", 101, -1);
  static std::atomic<int> wakes{0};
  wakes = 0;
  Display_setwake([](void*) { ++wakes; }, nullptr);
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  sink.requests.clear();
  inDriver->inject(1, msg(0x90, 60, 100));
  inDriver->drain();
  // Sent on the driver's thread, before the window thread did anything.
  EXPECT_EQ(sent(), (std::vector<uint32_t>{msg(0xC0, 19), msg(0xB0, 10, 64), msg(0x90, 60, 100),
                                           msg(0xC0, 20), msg(0xB0, 10, 0), msg(0x90, 60, 50),
                                           msg(0x90, 60, 100)}));
  EXPECT_TRUE(sink.requests.empty());
  EXPECT_EQ(wakes.load(), 1);
  Display_drain();
  Display_setwake(nullptr, nullptr);
  // Both registers light the same indicator: it is queued once.
  ASSERT_EQ(sink.requests.size(), 4u);
  EXPECT_EQ(sink.requests[0].kind, DisplayKind::keyboard);
  EXPECT_EQ(sink.requests[1].kind, DisplayKind::indicator);
  EXPECT_EQ(sink.requests[2].kind, DisplayKind::note);
  EXPECT_EQ(sink.requests[3].kind, DisplayKind::status);
  EXPECT_EQ(std::string(sink.requests[3].text.view())
                .rfind("<Canale: 0 Nota: 60 Velocit\xE0: 100 OnOff: 1 ", 0),
            0u);
}

TEST_F(ThreadsTest, TheWindowThreadsRequestsAreShownAfterTheKeysQueuedBeforeThem) {
  openOutput();
  drawRegister(1, "19 Organ", 200);
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  sink.requests.clear();
  inDriver->inject(1, msg(0x90, 60, 100));
  inDriver->drain();
  // All notes off on the window thread, before the window drained the key's
  // marks: the reset must come after them, or key 37 and indicator 130 stay
  // lit over silence.
  Midi_notesoff();
  Display_drain();
  const DisplayRequest* lastKeyboard = nullptr;
  const DisplayRequest* lastLamp = nullptr;
  bool keyMarked = false;
  for (const auto& r : sink.requests) {
    if (r.kind == DisplayKind::keyboard && r.id == kKeyboardUpper) {
      lastKeyboard = &r;
      keyMarked |= r.key == 60 - kKeyOffset && r.colour == Midi_channelcolor(0);
    }
    if (r.kind == DisplayKind::indicator && r.id == kIndicatorBase) lastLamp = &r;
  }
  EXPECT_TRUE(keyMarked);
  ASSERT_NE(lastKeyboard, nullptr);
  EXPECT_EQ(lastKeyboard->colour, kColourAllKeys);
  ASSERT_NE(lastLamp, nullptr);
  EXPECT_EQ(lastLamp->level, kLampOff);
  EXPECT_EQ(Display_drain(), 0u);
}

TEST_F(ThreadsTest, AFailureOnTheDriverThreadReachesTheWindowOnce) {
  openOutput();
  drawRegister(1, "19 Organ", 255);
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  outDriver->failSend(3);
  inDriver->inject(1, msg(0x90, 60, 100));
  inDriver->inject(1, msg(0x90, 62, 100));
  inDriver->drain();
  EXPECT_TRUE(sink.failures.empty());
  Display_drain();
  EXPECT_EQ(sink.failures, std::vector<std::string>{"Errore in Midi_noteon"});
  Display_drain();
  EXPECT_EQ(sink.failures.size(), 1u);
}

TEST_F(ThreadsTest, AFullQueueDropsTheOldestRequestsNeverTheOutput) {
  openOutput();
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  sink.requests.clear();
  const int keys = 3000;  // two display requests each, with no drain
  for (int i = 0; i < keys; ++i) inDriver->inject(1, msg(0x90, 36 + i % 60, 1 + i % 100));
  inDriver->drain();
  EXPECT_EQ(outDriver->sendCount(), keys);
  EXPECT_GT(Display_dropped(), 0u);
  Display_drain();
  ASSERT_FALSE(sink.requests.empty());
  EXPECT_LE(sink.requests.size(), 4096u);
  // The newest state survives.
  const int last = keys - 1;
  FixedText<96> expected;
  expected.add("<Canale: 0 Nota:").addStr(36 + last % 60);
  EXPECT_EQ(std::string(sink.requests.back().text.view()).rfind(expected.c_str(), 0), 0u);
}

TEST_F(ThreadsTest, KeysAndCommandsRaceWithoutDataRaces) {
  openOutput();
  for (int r = 1; r <= kRegisters; ++r) {
    Reg_setname(r, Text_trim(r) + " Stop");
    consoleState.regVolume[r] = 200;
  }
  ASSERT_EQ(Midi_openin(1), 1);
  ASSERT_EQ(Midi_startin(), 1);
  std::atomic<bool> done{false};
  std::thread player([&] {
    for (int i = 0; i < 400; ++i) {
      inDriver->inject(1, msg(0x90, 40 + i % 40, 90));
      inDriver->inject(1, msg(0x80, 40 + i % 40, 0));
      if (i % 50 == 0) inDriver->inject(1, msg(0xC0, i % 32));
    }
    inDriver->drain();
    done = true;
  });
  int round = 0;
  while (!done) {
    Reg_toggle(1 + round % 32);
    Reg_volumeset(1 + round % 32, round % 101);
    Reg_shiftset(1 + round % 32, round % 101);
    Reg_multistep(1 + round % 32, round % 2 ? 1 : -1);
    Reg_setname(1 + round % 32, Text_trim(round % 128) + " Changed");
    Reg_pancycle(1 + round % 32);
    Display_drain();
    ++round;
  }
  player.join();
  Display_drain();
  EXPECT_TRUE(sink.failures.empty());
  for (uint32_t m : sent()) {
    ASSERT_LT((m >> 8) & 0xFF, 0x80u);
    ASSERT_LT((m >> 16) & 0xFF, 0x80u);
  }
}

TEST(MidiOutHandlesTest, ClosingWhileAnotherThreadSendsIsSafe) {
  auto driver = std::make_shared<MemoryMidiOutDriver>(std::vector<std::string>{"A", "B"}, 1 << 20);
  MidiOut out;
  out.addDriver(driver);
  std::atomic<int32_t> handle{0};
  int32_t h = 0;
  ASSERT_EQ(out.open(h, 0), MIDI_OK);
  handle = h;
  std::atomic<bool> stop{false};
  std::atomic<long> ok{0}, refused{0};
  std::thread sender([&] {
    while (!stop) {
      int rc = out.send(handle.load(), 0x90);
      if (rc == MIDI_OK)
        ++ok;
      else if (rc == MIDIERR_INVALHANDLE)
        ++refused;
    }
  });
  for (int i = 0; i < 200; ++i) {
    int32_t old = handle.load();
    ASSERT_EQ(out.close(old), MIDI_OK);
    EXPECT_EQ(out.send(old, 0x90), MIDIERR_INVALHANDLE);
    int32_t fresh = 0;
    ASSERT_EQ(out.open(fresh, i % 2), MIDI_OK);
    EXPECT_NE(fresh, old);  // a stale handle never reaches the new device
    handle = fresh;
    // Let the sender get some sends through on the new handle.
    for (long seen = ok.load(); ok.load() < seen + 5 && !::testing::Test::HasFailure();)
      std::this_thread::yield();
  }
  stop = true;
  sender.join();
  EXPECT_GT(ok.load(), 0);
  EXPECT_EQ(driver->openCount(), 1);
  int device = -1;
  EXPECT_EQ(out.deviceId(handle.load(), device), MIDI_OK);
  EXPECT_EQ(device, 1);
}

}  // namespace
}  // namespace zt::test
