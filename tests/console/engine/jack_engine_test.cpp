// The console's engine on real JACK ports: a test keyboard plays into the
// console's virtual input, the console plays through its registers to a
// JACK output port, and a capture port receives exactly what it sends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "platform/midi/port_watch.h"
#include "tests/support/jack_console.h"
#include "tests/support/recording_sink.h"

namespace zt {
namespace {

using test::JackMidiClient;
using test::JackServer;
using test::Register_draw;
using Bytes = std::vector<uint8_t>;

class JackEngine : public ::testing::Test, protected test::EngineDevices {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.start()) << server_.error();
    setenv("ZT_MIDI_API", "jack", 1);
    setenv("ZT_AUDIO_DRIVER", "none", 1);
    keyboard_ = std::make_unique<JackMidiClient>("kbd", true, false);
    capture_ = std::make_unique<JackMidiClient>("capture", false, true);
    ASSERT_TRUE(keyboard_->ok() && capture_->ok());

    test::Engine_platformsetup(*this);
    Display_attach(&sink_);
    // The console as it starts: its own virtual input, the capture as output.
    const int device = test::Console_capturedevice(*this);
    ASSERT_GE(device, 1);
    ASSERT_EQ("", test::Console_jackstart(*keyboard_, device, capture_.get()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Display_drain();
    sink_.requests.clear();
  }

  void TearDown() override {
    // Every client, the device lists' own included, leaves before the server stops.
    test::Engine_teardown(*this, true);
    keyboard_.reset();
    capture_.reset();
    server_.stop();
  }

  // Plays `message` on the keyboard and returns everything the console sends
  // for it (the capture waits for `expected` messages, then a little longer
  // to catch any extra).
  std::vector<Bytes> play(const Bytes& message, size_t expected) {
    size_t from = capture_->capturedCount();
    keyboard_->send(message);
    EXPECT_TRUE(capture_->waitCaptured(from + expected))
        << "only " << capture_->capturedCount() - from;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return capture_->capturedBytes(from);
  }

  JackServer server_;
  std::unique_ptr<JackMidiClient> keyboard_;
  std::unique_ptr<JackMidiClient> capture_;
  test::RecordingSink sink_;
};

TEST_F(JackEngine, AKeyIsPlayedThroughEveryDrawnRegisterThenForwarded) {
  Register_draw(3, "19 Church Organ", 200, 0, 0, 0);
  Register_draw(7, "20 Reed Organ", 255, -1, 12, 7);

  EXPECT_EQ((std::vector<Bytes>{{0xC0, 19},
                                {0xB0, 10, 64},
                                {0x90, 60, 100},
                                {0xC0, 20},
                                {0xB0, 10, 0},
                                {0x90, 72, 127},
                                {0x90, 79, 127},
                                {0x90, 60, 100}}),
            play({0x90, 60, 100}, 8));
  // A release sends only note-offs, then the incoming message unchanged.
  EXPECT_EQ((std::vector<Bytes>{{0x80, 60, 0}, {0x80, 72, 0}, {0x80, 79, 0}, {0x80, 60, 64}}),
            play({0x80, 60, 64}, 4));

  Display_drain();
  auto status = sink_.texts(DisplayKind::status);
  ASSERT_EQ(2u, status.size());
  EXPECT_EQ(0u, status[0].find("<Canale: 0 Nota: 60 Velocit\xE0: 100 OnOff: 1 ")) << status[0];
  EXPECT_EQ(0u, status[1].find("<Canale: 0 Nota: 60 Velocit\xE0: 64 OnOff: 0 ")) << status[1];
  EXPECT_EQ((std::vector<std::string>{"60 do C:5"}), sink_.texts(DisplayKind::note));
  EXPECT_TRUE(sink_.failures.empty());
}

TEST_F(JackEngine, KeyboardProgramChangesDrawRegistersAndOtherChannelsPlayOnTheOutputChannel) {
  Register_draw(3, "19 Church Organ", 200, 0, 0, 0);
  Reg_setname(1, "1 Bright Acoustic Piano");
  consoleState.regVolume[1] = 100;
  consoleState.regPan[1] = 1;

  // Program 0 draws register 1 and passes through; 40 only passes through.
  EXPECT_EQ((std::vector<Bytes>{{0xC0, 0}}), play({0xC0, 0}, 1));
  EXPECT_EQ(1, static_cast<int32_t>(consoleState.regOn[1]));
  EXPECT_EQ((std::vector<Bytes>{{0xC2, 40}}), play({0xC2, 40}, 1));

  // A key on channel 1 plays the registers on the output channel 0.
  EXPECT_EQ((std::vector<Bytes>{{0xC0, 1},
                                {0xB0, 10, 127},
                                {0x90, 64, 50},
                                {0xC0, 19},
                                {0xB0, 10, 64},
                                {0x90, 64, 100},
                                {0x91, 64, 80}}),
            play({0x91, 64, 80}, 7));
}

// Thirty keys pressed and released at once with every register drawn and a
// multi-note: 5820 messages in one burst, more than one JACK period's MIDI
// buffer holds. What does not fit goes out in the next periods, in order.
TEST_F(JackEngine, AChordBiggerThanAPeriodArrivesWholeAndInOrder) {
  test::Chord_draw();
  const std::vector<Bytes> expected = test::Chord_expected();
  ASSERT_EQ(5820u, expected.size());

  const size_t from = capture_->capturedCount();
  for (uint8_t note = 36; note < 66; ++note) keyboard_->send({0x90, note, 100});
  for (uint8_t note = 36; note < 66; ++note) keyboard_->send({0x80, note, 0});
  EXPECT_TRUE(capture_->waitCaptured(from + expected.size(), std::chrono::seconds(20)));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::vector<Bytes> got = capture_->capturedBytes(from);
  size_t same = 0;
  while (same < got.size() && same < expected.size() && got[same] == expected[same]) ++same;
  EXPECT_EQ(expected.size(), got.size());
  EXPECT_EQ(expected.size(), same)
      << "the first " << same << " of " << got.size() << " messages are as sent";
  Display_drain();
  EXPECT_TRUE(sink_.failures.empty());
}

TEST_F(JackEngine, PitchBendSilencesEveryChannelFirstAndSystemMessagesStayHome) {
  std::vector<Bytes> expected;
  for (uint8_t c = 0; c < 16; ++c) expected.push_back({static_cast<uint8_t>(0xB0 + c), 123, 0});
  expected.push_back({0xE4, 0x00, 0x41});
  EXPECT_EQ(expected, play({0xE4, 0x00, 0x41}, 17));

  // Clock and active sensing reach the engine and go no further.
  size_t before = capture_->capturedCount();
  keyboard_->send({0xF8});
  keyboard_->send({0xFE});
  keyboard_->send({0xB0, 7, 90});  // a controller behind them does come through
  ASSERT_TRUE(capture_->waitCaptured(before + 1));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ((std::vector<Bytes>{{0xB0, 7, 90}}), capture_->capturedBytes(before));
}

// The console follows the keyboards that come and go: one that appears is
// connected to the input and plays; when one goes with keys held, every key
// held on the input is released (the input merges its keyboards, so whose
// key it was cannot be told), with one log line. The looks run here, on
// the test's thread, while JACK's thread plays.
TEST_F(JackEngine, AKeyboardThatComesIsConnectedAndOneThatGoesMidNoteLeavesNoKeyHeld) {
  using std::chrono::milliseconds;
  Register_draw(3, "19 Church Organ", 200, 0, 0, 0);
  auto watch = Midi_portwatch(MidiBackend::jack, [] {});
  ASSERT_TRUE(watch);
  enginePlatform.portWatch = watch.get();
  enginePlatform.autoconnect = true;
  Midi_hotplugreset();
  auto late = std::make_unique<JackMidiClient>("late", true, false);
  ASSERT_TRUE(test::Wait_until(
      [&] {
        Midi_hotplug();
        return test::Jack_isconnected(late->client(), late->outName());
      },
      milliseconds(3000)));
  // The graph carries the connection a little after it is listed.
  bool carried = false;
  for (int attempt = 0; attempt < 50 && !carried; ++attempt) {
    const size_t before = capture_->capturedCount();
    late->send({0xBF, 7, 100});
    carried = capture_->waitCaptured(before + 1, milliseconds(200));
  }
  ASSERT_TRUE(carried);
  std::this_thread::sleep_for(milliseconds(50));

  size_t from = capture_->capturedCount();
  keyboard_->send({0x90, 60, 100});
  late->send({0x90, 64, 100});
  ASSERT_TRUE(capture_->waitCaptured(from + 8));
  from = capture_->capturedCount();
  late.reset();
  Display_drain();
  sink_.requests.clear();
  ASSERT_TRUE(test::Wait_until(
      [&] {
        Midi_hotplug();
        return capture_->capturedCount() >= from + 4;
      },
      milliseconds(3000)));
  std::this_thread::sleep_for(milliseconds(50));
  Midi_hotplug();
  EXPECT_EQ((std::vector<Bytes>{{0x80, 60, 0}, {0x80, 60, 0}, {0x80, 64, 0}, {0x80, 64, 0}}),
            capture_->capturedBytes(from));
  Display_drain();
  EXPECT_EQ(std::vector<std::string>{"Midi in assente: late:out"}, sink_.texts(DisplayKind::log));
  EXPECT_TRUE(sink_.failures.empty());
  enginePlatform.portWatch = nullptr;
}

}  // namespace
}  // namespace zt
