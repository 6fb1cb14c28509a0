// The console's engine playing the embedded synthesiser: a key through a
// drawn Church Organ register sounds at the key's pitch, and all notes off
// silences it. The audio is pulled and measured by the test.
#include <gtest/gtest.h>

#include <cstdlib>

#include "console/engine/engine.h"
#include "platform/midi/synth_driver.h"
#include "tests/support/audio_analysis.h"
#include "tests/support/recording_sink.h"

namespace zt {
namespace {

class SynthEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ZT_AUDIO_DRIVER", "none", 1);
    unsetenv("ZT_SOUNDFONT");
    State_reset();
    Display_reset();
    Display_attach(&sink_);
    synth_ = std::make_shared<SynthOutDriver>();
    out_.addDriver(synth_);
    Engine_attach(out_, in_);
    enginePlatform.closeWaitMs = 0;
    Midi_openout(0);
    ASSERT_NE(0, static_cast<int32_t>(consoleState.hMidiOut));
    rate_ = synth_->sampleRate();
  }
  void TearDown() override {
    Midi_closeout();
    Display_attach(nullptr);
    Display_reset();
    enginePlatform.midiOut = nullptr;
    enginePlatform.midiIn = nullptr;
  }

  std::vector<float> render(double seconds) {
    size_t frames = static_cast<size_t>(seconds * rate_);
    std::vector<float> left(frames), right(frames);
    EXPECT_EQ(MIDI_OK, synth_->render(left.data(), right.data(), static_cast<int>(frames)));
    return left;
  }
  double tailRms(const std::vector<float>& audio, double seconds) {
    size_t tail = static_cast<size_t>(seconds * rate_);
    return test::Audio_rms(audio, audio.size() - tail, tail);
  }
  double pitch(const std::vector<float>& audio) {
    size_t tail = static_cast<size_t>(0.3 * rate_);
    return test::Audio_pitch(audio, audio.size() - tail, tail, rate_, 60, 1000);
  }

  test::RecordingSink sink_;
  std::shared_ptr<SynthOutDriver> synth_;
  MidiOut out_;
  MidiIn in_;
  double rate_ = 0;
};

TEST_F(SynthEngine, AKeyThroughTheChurchOrganSoundsAtItsPitchAndNotesOffSilencesIt) {
  Reg_setname(5, "19 Church Organ");
  consoleState.regOn[5] = 1;
  consoleState.regVolume[5] = 200;

  Midi_noteon(57, 127, 0, kKeyboardUpper);
  std::vector<float> a3 = render(1.0);
  double level = tailRms(a3, 0.3);
  EXPECT_GT(level, 0.005);
  EXPECT_NEAR(220.0, pitch(a3), 220.0 * 0.02);
  Midi_noteoff(57, 0, kKeyboardUpper);

  // An octave up by the register's shift.
  consoleState.regShift[5] = 12;
  Midi_noteon(57, 127, 0, kKeyboardUpper);
  render(0.5);  // the first key's release dies away
  std::vector<float> a4 = render(0.8);
  EXPECT_GT(tailRms(a4, 0.3), 0.005);
  EXPECT_NEAR(440.0, pitch(a4), 440.0 * 0.02);

  Midi_notesoff();
  std::vector<float> after = render(3.0);
  EXPECT_LT(tailRms(after, 0.3), level * 0.01);
  EXPECT_TRUE(sink_.failures.empty());
}

TEST_F(SynthEngine, WithNoRegisterDrawnAKeyMakesNoSound) {
  Midi_noteon(69, 127, 0, kKeyboardUpper);
  std::vector<float> audio = render(0.5);
  EXPECT_LT(tailRms(audio, 0.3), 1e-4);
}

}  // namespace
}  // namespace zt
