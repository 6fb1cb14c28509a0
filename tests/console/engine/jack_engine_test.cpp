// The console's engine on real JACK ports: a test keyboard plays into the
// console's virtual input, the console plays through its registers to a
// JACK output port, and a capture port receives exactly what it sends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "platform/midi/default_devices.h"
#include "console/engine/engine.h"
#include "tests/support/recording_sink.h"
#include "tests/support/jack_fixture.h"

namespace zt {
namespace {

using test::JackMidiClient;
using test::JackServer;
using Bytes = std::vector<uint8_t>;

bool connected(JackMidiClient& client, const std::string& port) {
  const char** c = jack_port_get_all_connections(client.client(), jack_port_by_name(client.client(), port.c_str()));
  bool any = c && c[0];
  if (c) jack_free(c);
  return any;
}

class JackEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.start()) << server_.error();
    setenv("ZT_MIDI_API", "jack", 1);
    setenv("ZT_AUDIO_DRIVER", "none", 1);
    keyboard_ = std::make_unique<JackMidiClient>("kbd", true, false);
    capture_ = std::make_unique<JackMidiClient>("capture", false, true);
    ASSERT_TRUE(keyboard_->ok() && capture_->ok());

    State_reset();
    Display_reset();
    Display_attach(&sink_);
    out_ = std::make_unique<MidiOut>();
    in_ = std::make_unique<MidiIn>();
    Platform_mididevices(*out_, *in_);
    Engine_attach(*out_, *in_);
    enginePlatform.closeWaitMs = 0;

    // The console as it starts: its own virtual input, the capture as output.
    int device = -1;
    for (int i = 0; i < out_->count(); ++i) {
      std::string name;
      if (out_->name(i, name) == MIDI_OK && name == "capture:in") device = i;
    }
    ASSERT_GE(device, 1);
    ASSERT_EQ(1, Midi_openin(0));
    ASSERT_EQ(1, Midi_startin());
    consoleState.outChannel = 0;
    Midi_openout(device);
    ASSERT_NE(0, static_cast<int32_t>(consoleState.hMidiOut));
    std::string input = test::Jack_findport(keyboard_->client(), ":ZT input$", JackPortIsInput);
    ASSERT_FALSE(input.empty());
    ASSERT_TRUE(test::Jack_connect(keyboard_->client(), keyboard_->outName(), input));
    ASSERT_TRUE(test::Wait_until([&] { return connected(*capture_, capture_->inName()); },
                                 std::chrono::milliseconds(2000)));
    ASSERT_TRUE(test::Wait_until([&] { return connected(*keyboard_, keyboard_->outName()); },
                                 std::chrono::milliseconds(2000)));
    // A connection is listed before the server's graph carries it: send a
    // controller through the whole chain until one comes out the far end.
    bool through = false;
    for (int attempt = 0; attempt < 20 && !through; ++attempt) {
      keyboard_->send({0xBF, 7, 100});
      through = capture_->waitCaptured(1, std::chrono::milliseconds(200));
    }
    ASSERT_TRUE(through);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Display_drain();
    sink_.requests.clear();
  }

  void TearDown() override {
    Midi_closein();
    if (consoleState.hMidiOut != 0) Midi_closeout();
    Display_attach(nullptr);
    Display_reset();
    enginePlatform.midiOut = nullptr;
    enginePlatform.midiIn = nullptr;
    // Every client, the device lists' own included, leaves before the server stops.
    out_.reset();
    in_.reset();
    keyboard_.reset();
    capture_.reset();
    server_.stop();
  }

  void draw(int r, const std::string& label, int volume, int pan, int shift, int multi) {
    Reg_setname(r, label);
    consoleState.regOn[r] = 1;
    consoleState.regVolume[r] = volume;
    consoleState.regPan[r] = pan;
    consoleState.regShift[r] = shift;
    consoleState.regMulti[r] = multi;
  }

  // Plays `message` on the keyboard and returns everything the console sends
  // for it (the capture waits for `expected` messages, then a little longer
  // to catch any extra).
  std::vector<Bytes> play(const Bytes& message, size_t expected) {
    size_t from = capture_->capturedCount();
    keyboard_->send(message);
    EXPECT_TRUE(capture_->waitCaptured(from + expected)) << "only " << capture_->capturedCount() - from;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return capture_->capturedBytes(from);
  }

  JackServer server_;
  std::unique_ptr<JackMidiClient> keyboard_;
  std::unique_ptr<JackMidiClient> capture_;
  test::RecordingSink sink_;
  std::unique_ptr<MidiOut> out_;
  std::unique_ptr<MidiIn> in_;
};

TEST_F(JackEngine, AKeyIsPlayedThroughEveryDrawnRegisterThenForwarded) {
  draw(3, "19 Church Organ", 200, 0, 0, 0);
  draw(7, "20 Reed Organ", 255, -1, 12, 7);

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
  auto status = sink_.texts(DisplayKind::Status);
  ASSERT_EQ(2u, status.size());
  EXPECT_EQ(0u, status[0].find("<Canale: 0 Nota: 60 Velocit\xE0: 100 OnOff: 1 ")) << status[0];
  EXPECT_EQ(0u, status[1].find("<Canale: 0 Nota: 60 Velocit\xE0: 64 OnOff: 0 ")) << status[1];
  EXPECT_EQ((std::vector<std::string>{"60 do C:5"}), sink_.texts(DisplayKind::Note));
  EXPECT_TRUE(sink_.failures.empty());
}

TEST_F(JackEngine, KeyboardProgramChangesDrawRegistersAndOtherChannelsPlayOnTheOutputChannel) {
  draw(3, "19 Church Organ", 200, 0, 0, 0);
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

}  // namespace
}  // namespace zt
