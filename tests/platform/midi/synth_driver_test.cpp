// The embedded synthesiser, rendered without an audio driver so the test
// pulls the samples itself and measures them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>
#include <thread>

#include "platform/midi/midi_log.h"
#include "platform/midi/synth_audio.h"
#include "platform/midi/synth_driver.h"
#include "tests/support/audio_analysis.h"
#include "tests/support/jack_fixture.h"

namespace zt {
namespace {

using test::Audio_pitch;
using test::Audio_rms;

constexpr uint32_t kChurchOrgan = 0x13C0;  // program 19 on channel 0

// The synthesiser as the only output device, for the tests that make their
// own after setting up the environment it finds.
struct SynthDevice {
  std::shared_ptr<SynthOutDriver> synth = std::make_shared<SynthOutDriver>();
  MidiOut out;
  int32_t handle = 0;
  SynthDevice() { out.addDriver(synth); }
  int open() { return out.open(handle, 0); }
};

class Synth : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ZT_AUDIO_DRIVER", "none", 1);
    unsetenv("ZT_SOUNDFONT");
    synth_ = std::make_shared<SynthOutDriver>();
    out_.addDriver(synth_);
    ASSERT_EQ(MIDI_OK, out_.open(handle_, 0));
    rate_ = synth_->sampleRate();
  }

  // Renders `seconds` of audio and returns the left channel.
  std::vector<float> render(double seconds) {
    size_t frames = static_cast<size_t>(seconds * rate_);
    std::vector<float> left(frames), right(frames);
    EXPECT_EQ(MIDI_OK, synth_->render(left.data(), right.data(), static_cast<int>(frames)));
    return left;
  }

  double pitchOf(const std::vector<float>& audio) {
    size_t tail = static_cast<size_t>(0.3 * rate_);
    return Audio_pitch(audio, audio.size() - tail, tail, rate_, 60, 1000);
  }

  std::shared_ptr<SynthOutDriver> synth_;
  MidiOut out_;
  int32_t handle_ = 0;
  double rate_ = 0;
};

// Registers as the console plays them on channel 0: program, pan, note.
void sendRegister(MidiOut& out, int32_t handle, int program, int pan, int key) {
  ASSERT_EQ(MIDI_OK, out.send(handle, 0xC0 + 256 * program));
  ASSERT_EQ(MIDI_OK, out.send(handle, 0xB0 + 256 * 10 + 65536 * pan));
  ASSERT_EQ(MIDI_OK, out.send(handle, 0x90 + 256 * key + 65536 * 127));
}

// The internal channels that hold `key` now.
std::set<int> channelsHolding(const SynthOutDriver& synth, int key) {
  std::set<int> channels;
  for (auto [channel, held] : synth.heldVoices())
    if (held == key) channels.insert(channel);
  return channels;
}

TEST_F(Synth, IsOneDeviceWithAPlainName) {
  std::string name;
  EXPECT_EQ(1, out_.count());
  ASSERT_EQ(MIDI_OK, out_.name(0, name));
  EXPECT_EQ("FluidSynth", name);
  EXPECT_FALSE(synth_->hasAudioDriver());
  EXPECT_GT(rate_, 8000);
}

TEST_F(Synth, ChurchOrganSoundsAtThePitchOfTheKeyAndAllNotesOffSilencesIt) {
  std::vector<float> quiet = render(0.2);
  EXPECT_LT(Audio_rms(quiet, 0, quiet.size()), 1e-4);

  ASSERT_EQ(MIDI_OK, out_.send(handle_, kChurchOrgan));
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x643990));  // key 57, the A at 220 Hz
  std::vector<float> a3 = render(1.0);
  double playing = Audio_rms(a3, a3.size() / 2, a3.size() / 2);
  EXPECT_GT(playing, 0.005);
  EXPECT_NEAR(220.0, pitchOf(a3), 220.0 * 0.02);

  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x003980));  // release it
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x644590));  // key 69, the A at 440 Hz
  render(0.5);                                       // the release of key 57 dies away
  std::vector<float> a4 = render(0.8);
  EXPECT_GT(Audio_rms(a4, 0, a4.size()), 0.005);
  EXPECT_NEAR(440.0, pitchOf(a4), 440.0 * 0.02);

  // All notes off on channel 0 (controller 123): after the release time and
  // the reverb tail the output is practically silent.
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x007BB0));
  std::vector<float> after = render(3.0);
  size_t tail = static_cast<size_t>(0.3 * rate_);
  EXPECT_LT(Audio_rms(after, after.size() - tail, tail), playing * 0.01);
}

TEST_F(Synth, AllNotesOffOnAnotherChannelLeavesTheKeySounding) {
  ASSERT_EQ(MIDI_OK, out_.send(handle_, kChurchOrgan));
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x644590));
  render(0.3);
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x007BB1));  // channel 1
  std::vector<float> audio = render(1.5);
  size_t tail = static_cast<size_t>(0.3 * rate_);
  EXPECT_GT(Audio_rms(audio, audio.size() - tail, tail), 0.005);
  EXPECT_NEAR(440.0, pitchOf(audio), 440.0 * 0.02);
}

TEST_F(Synth, ClosingTheLastPortReleasesHeldKeys) {
  ASSERT_EQ(MIDI_OK, out_.send(handle_, kChurchOrgan));
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x644590));
  std::vector<float> playing = render(0.4);
  double level = Audio_rms(playing, 0, playing.size());
  ASSERT_GT(level, 0.005);
  ASSERT_EQ(MIDI_OK, out_.close(handle_));
  EXPECT_NE(MIDI_OK, out_.send(handle_, 0x644590));
  std::vector<float> after = render(3.0);
  size_t tail = static_cast<size_t>(0.3 * rate_);
  EXPECT_LT(Audio_rms(after, after.size() - tail, tail), level * 0.01);
  // The same synth opens again at once, without reloading.
  ASSERT_EQ(MIDI_OK, out_.open(handle_, 0));
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x644590));
  std::vector<float> again = render(0.4);
  EXPECT_GT(Audio_rms(again, 0, again.size()), 0.005);
}

// One key as the console plays it through all 32 registers: program, pan
// and note for each, then the key itself forwarded.
void sendKeyThroughRegisters(MidiOut& out, int32_t handle, int note, int& refused) {
  for (int r = 0; r < 32; ++r) {
    if (out.send(handle, 0xC0 + 256 * 19) != MIDI_OK) ++refused;
    if (out.send(handle, 0xB0 + 256 * 10 + 65536 * 64) != MIDI_OK) ++refused;
    if (out.send(handle, 0x90 + 256 * note + 65536 * 100) != MIDI_OK) ++refused;
    if (out.send(handle, 0x90 + 256 * (note + 7) + 65536 * 100) != MIDI_OK) ++refused;
  }
  if (out.send(handle, 0x90 + 256 * note + 65536 * 100) != MIDI_OK) ++refused;
}

// Nothing renders here until the test says so: a stalled audio callback.
TEST_F(Synth, OneSecondOfTheDensestInputWaitsWholeForAStalledAudio) {
  // The MIDI wire's fastest: 1 562 keys a second, each through 32 registers
  // with an added note.
  int refused = 0;
  for (int k = 0; k < 1562; ++k) sendKeyThroughRegisters(out_, handle_, 36 + k % 48, refused);
  EXPECT_EQ(0, refused);
  EXPECT_EQ(0u, synth_->droppedCount());
}

TEST_F(Synth, AFullQueueNeverFailsASendAndKeepsTheNewestReleases) {
  // A key held while the audio stalls.
  ASSERT_EQ(MIDI_OK, out_.send(handle_, kChurchOrgan));
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x643C90));  // key 60
  render(0.2);
  ASSERT_GT(synth_->activeVoiceCount(), 0);
  // Far more than the queue holds: controllers, then releases of another
  // key (they fill the room kept for releases and push the oldest words
  // out), and last the held key's own release.
  int refused = 0;
  for (int i = 0; i < 300000; ++i)
    if (out_.send(handle_, 0x0001B0 + 65536 * (i % 128)) != MIDI_OK) ++refused;  // modulation
  for (int i = 0; i < 40000; ++i)
    if (out_.send(handle_, 0x003D80) != MIDI_OK) ++refused;  // key 61 released
  if (out_.send(handle_, 0x003C80) != MIDI_OK) ++refused;
  EXPECT_EQ(0, refused);
  EXPECT_GT(synth_->droppedCount(), 0u);
  // Once the audio runs again the backlog is played off and the key is let
  // go: after its release has died away nothing sounds.
  render(7.0);
  render(3.0);
  EXPECT_EQ(0, synth_->activeVoiceCount());
  // And the synth plays on.
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x644590));
  std::vector<float> again = render(0.8);
  EXPECT_GT(Audio_rms(again, again.size() / 2, again.size() / 2), 0.005);
  EXPECT_NEAR(440.0, pitchOf(again), 440.0 * 0.02);
}

// A backlog of many keys played off at once must not lose releases inside
// the synthesiser: every key ends.
TEST_F(Synth, ABacklogOfKeysIsPlayedOffWithoutHangingNotes) {
  int refused = 0;
  ASSERT_EQ(MIDI_OK, out_.send(handle_, kChurchOrgan));
  for (int k = 0; k < 100; ++k) {
    if (out_.send(handle_, 0x90 + 256 * (36 + k % 48) + 65536 * 100) != MIDI_OK) ++refused;
    for (int i = 0; i < 120; ++i)
      if (out_.send(handle_, 0x0007B0 + 65536 * (64 + i % 64)) != MIDI_OK) ++refused;  // volume
    if (out_.send(handle_, 0x80 + 256 * (36 + k % 48)) != MIDI_OK) ++refused;
  }
  EXPECT_EQ(0, refused);
  render(4.0);
  EXPECT_EQ(0, synth_->activeVoiceCount());
}

// Several threads sending while the test thread renders: every message gets
// through (the synth ends up with as many voices as when the same messages
// are sent one by one).
TEST_F(Synth, SendsFromManyThreadsWhileRenderingLoseNothing) {
  constexpr uint32_t kThreads = 4;
  auto keyOn = [](uint32_t channel, uint32_t k) {
    return 0x90 + channel + 256 * (48 + 7 * k + channel) + 65536 * 100;
  };
  std::atomic<uint32_t> done{0};
  std::atomic<int> refused{0};
  std::vector<std::thread> threads;
  for (uint32_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      // Each thread plays five keys with the organ on its own channel.
      if (out_.send(handle_, 0xC0 + t + 256 * 19) != MIDI_OK) refused++;
      for (uint32_t k = 0; k < 5; ++k)
        if (out_.send(handle_, keyOn(t, k)) != MIDI_OK) refused++;
      done++;
    });
  }
  std::vector<float> left(64), right(64);
  while (done.load() < kThreads) synth_->render(left.data(), right.data(), 64);
  for (auto& t : threads) t.join();
  EXPECT_EQ(0, refused.load());
  render(0.05);
  int concurrent = synth_->activeVoiceCount();

  SynthDevice device;
  auto& [serial, out, handle] = device;
  ASSERT_EQ(MIDI_OK, device.open());
  for (uint32_t t = 0; t < kThreads; ++t) {
    ASSERT_EQ(MIDI_OK, out.send(handle, 0xC0 + t + 256 * 19));
    for (uint32_t k = 0; k < 5; ++k) ASSERT_EQ(MIDI_OK, out.send(handle, keyOn(t, k)));
  }
  std::vector<float> l2(2205), r2(2205);
  ASSERT_EQ(MIDI_OK, serial->render(l2.data(), r2.data(), 2205));
  EXPECT_GE(serial->activeVoiceCount(), 20);
  EXPECT_EQ(serial->activeVoiceCount(), concurrent);
}

// Two registers on one key: each keeps its voice for the whole key, on a
// channel of its own, and the one release ends both.
TEST_F(Synth, RegistersAtOnePitchKeepTheirVoicesUntilTheOneReleaseEndsThemAll) {
  sendRegister(out_, handle_, 19, 0, 60);    // church organ, left
  sendRegister(out_, handle_, 73, 127, 60);  // flute, right
  for (int chunk = 0; chunk < 10; ++chunk) {
    render(0.15);
    ASSERT_EQ(2u, channelsHolding(*synth_, 60).size()) << "after " << 0.15 * (chunk + 1) << " s";
  }
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x003C80));
  render(0.05);
  EXPECT_TRUE(synth_->heldVoices().empty());
}

// All notes off and a pitch bend on channel 0 reach every register's voice;
// after them nothing is left held or sounding.
TEST_F(Synth, AllNotesOffAndPitchBendReachEveryLayerOfTheChannel) {
  for (int program : {19, 73, 48}) sendRegister(out_, handle_, program, 64, 57);
  render(0.3);
  ASSERT_EQ(3u, channelsHolding(*synth_, 57).size());
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x007BB0));
  render(0.05);
  EXPECT_TRUE(synth_->heldVoices().empty());

  // A bend of one semitone (the default range is two) moves every layer:
  // the lowest pitch heard is then 233 Hz, not 220.
  sendRegister(out_, handle_, 19, 0, 57);
  sendRegister(out_, handle_, 73, 127, 57);
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0xE0 + 65536 * 0x60));
  std::vector<float> bent = render(1.0);
  EXPECT_NEAR(233.1, pitchOf(bent), 233.1 * 0.015);
  ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x003980));
  render(3.0);
  EXPECT_TRUE(synth_->heldVoices().empty());
  EXPECT_EQ(0, synth_->activeVoiceCount());
}

// A full organ: 32 registers of their own programs and sides, each with a
// shift and an added note, under ten keys. Every note keeps a voice (none
// stolen) and no sample reaches full scale.
TEST_F(Synth, AFullOrganChordKeepsEveryNoteAndStaysBelowFullScale) {
  const int keys[] = {36, 40, 43, 48, 52, 55, 60, 64, 67, 72};
  // Sustaining programs (organs, strings, voices, brass, reeds and pipes)
  // whose samples cover every note played, up to 96.
  const int programs[32] = {16, 17, 18, 19, 20, 21, 22, 23, 40, 41, 42, 70, 44, 48, 49, 50,
                            51, 52, 53, 54, 56, 57, 71, 59, 60, 61, 64, 72, 66, 73, 68, 74};
  size_t notes = 0;
  for (int key : keys) {
    for (int r = 0; r < 32; ++r) {
      const int program = programs[r], pan = (r % 3) * 63, shift = (r % 5 - 2) * 6;
      const int multi = 1 + r % 12;
      ASSERT_EQ(MIDI_OK, out_.send(handle_, 0xC0 + 256 * program));
      ASSERT_EQ(MIDI_OK, out_.send(handle_, 0xB0 + 256 * 10 + 65536 * pan));
      for (int note : {key + shift, key + shift + multi}) {
        ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x90 + 256 * note + 65536 * 127));
        ++notes;
      }
    }
  }
  const size_t frames = static_cast<size_t>(2.0 * rate_);
  std::vector<float> left(frames), right(frames);
  ASSERT_EQ(MIDI_OK, synth_->render(left.data(), right.data(), static_cast<int>(frames)));
  float peak = 0;
  for (size_t i = 0; i < frames; ++i)
    peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
  EXPECT_LT(peak, 1.0f);
  EXPECT_GT(peak, 0.5f);  // loud, as a full organ is
  // Each note holds a key on an internal channel of its own (a note that
  // meets its own combination's note again takes another channel).
  std::set<std::pair<int, int>> held;
  for (auto voice : synth_->heldVoices()) held.insert(voice);
  EXPECT_EQ(notes, held.size());
  EXPECT_LT(synth_->activeVoiceCount(), SynthOutDriver::polyphony());
}

// More program and pan combinations than the synthesiser has channels, a
// thousand notes a second: channels are reused and taken over, and once the
// keys are released nothing is left held.
TEST_F(Synth, AFloodOfCombinationsBeyondThePoolLeavesNoNoteHeld) {
  std::vector<float> left(48), right(48);
  for (int n = 0; n < 2000; ++n) {
    const int program = n % 100, pan = (n / 100) % 3 * 63, key = 40 + n % 48;
    sendRegister(out_, handle_, program, pan, key);
    if (n >= 40) {  // each key is held for 40 notes' time
      const int old = 40 + (n - 40) % 48;
      ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x80 + 256 * old));
    }
    ASSERT_EQ(MIDI_OK, synth_->render(left.data(), right.data(), 48));  // 1 ms
  }
  for (int n = 1960; n < 2000; ++n)
    ASSERT_EQ(MIDI_OK, out_.send(handle_, 0x80 + 256 * (40 + n % 48)));
  render(0.1);
  EXPECT_TRUE(synth_->heldVoices().empty());
}

TEST(SynthSoundFont, AMissingSoundFontFailsTheOpen) {
  setenv("ZT_AUDIO_DRIVER", "none", 1);
  setenv("ZT_SOUNDFONT", "/nonexistent/zt-test.sf2", 1);
  SynthDevice device;
  auto& synth = device.synth;
  int rc = device.open();
  EXPECT_NE(MIDI_OK, rc);
  EXPECT_FALSE(Midi_errortext(rc).empty());
  std::vector<float> l(16), r(16);
  EXPECT_NE(MIDI_OK, synth->render(l.data(), r.data(), 16));
  unsetenv("ZT_SOUNDFONT");
}

}  // namespace
}  // namespace zt

namespace zt {
namespace {

// With an audio driver (JACK's, on a private server) the driver's own thread
// drains the queue before every block: a stream of sends far longer than the
// queue gets through, and render() is refused.
TEST(SynthAudioDriver, TheAudioThreadDrainsTheQueue) {
  test::JackServer server;
  ASSERT_TRUE(server.start()) << server.error();
  setenv("ZT_AUDIO_DRIVER", "jack", 1);
  unsetenv("ZT_SOUNDFONT");
  {
    SynthDevice device;
    auto& [synth, out, handle] = device;
    ASSERT_EQ(MIDI_OK, device.open());
    EXPECT_TRUE(synth->hasAudioDriver());
    std::vector<float> l(64), r(64);
    EXPECT_EQ(MIDIERR_ALLOCATED, synth->render(l.data(), r.data(), 64));

    int refused = 0;
    for (int burst = 0; burst < 40; ++burst) {
      for (int i = 0; i < 500; ++i)
        if (out.send(handle, 0x0007B0 + 65536 * (i % 128)) != MIDI_OK) ++refused;
      // 500 messages, then a few periods for the audio thread to take them.
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    EXPECT_EQ(0, refused);
    EXPECT_EQ(MIDI_OK, out.close(handle));
  }
  setenv("ZT_AUDIO_DRIVER", "none", 1);
}

}  // namespace
}  // namespace zt

namespace zt {
namespace {

// How the synthesiser finds its audio. Each test makes the sound servers
// and cards of this machine unreachable (whatever the machine has), so the
// outcome does not depend on it: PulseAudio and JACK point at servers that
// do not exist, ALSA reads an empty configuration (no "default" device).
class SynthAudioProbe : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/zt-audio-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
    std::string emptyConf = dir_ + "/asound.conf";
    std::fclose(std::fopen(emptyConf.c_str(), "w"));
    setenv("ALSA_CONFIG_PATH", emptyConf.c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + dir_ + "/no-pulse").c_str(), 1);
    setenv("JACK_DEFAULT_SERVER", ("zt-none-" + std::to_string(getpid())).c_str(), 1);
    unsetenv("ZT_AUDIO_DRIVER");
    unsetenv("ZT_SOUNDFONT");
    logged().clear();
    Midi_setlog([](std::string_view line) { logged().emplace_back(line); });
  }
  void TearDown() override {
    Midi_setlog(nullptr);
    for (const char* name : {"ALSA_CONFIG_PATH", "PULSE_SERVER", "JACK_DEFAULT_SERVER",
                             "ZT_AUDIO_PERIOD_SIZE", "ZT_AUDIO_PERIODS"})
      unsetenv(name);
    setenv("ZT_AUDIO_DRIVER", "none", 1);
    std::system(("rm -rf " + dir_).c_str());
  }
  static std::vector<std::string>& logged() {
    static std::vector<std::string> lines;
    return lines;
  }
  std::string dir_;
};

TEST_F(SynthAudioProbe, WithoutAnyAudioDeviceTheSynthOpensAndTakesEveryKey) {
  SynthDevice device;
  auto& [synth, out, handle] = device;
  ASSERT_EQ(MIDI_OK, device.open());
  EXPECT_FALSE(synth->hasAudioDriver());
  EXPECT_NE(synth->audioReport().find("no audio device"), std::string::npos)
      << synth->audioReport();
  EXPECT_EQ(logged(), std::vector<std::string>{synth->audioReport()});
  // It renders on its own, in time: nothing else may pull its audio.
  std::vector<float> l(64), r(64);
  EXPECT_EQ(MIDIERR_ALLOCATED, synth->render(l.data(), r.data(), 64));
  EXPECT_DOUBLE_EQ(48000, synth->sampleRate());

  EXPECT_EQ(MIDI_OK, out.send(handle, kChurchOrgan));
  EXPECT_EQ(MIDI_OK, out.send(handle, 0x643C90));
  // Many times what the send queue holds: the silent renderer keeps taking
  // them, so every one gets in (a sender that finds the queue full waits a
  // little; nobody else would ever empty it).
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int taken = 0;
  for (int i = 0; i < 40000 && std::chrono::steady_clock::now() < giveUp; ++i) {
    int rc;
    while ((rc = out.send(handle, 0x0007B0 + 65536 * (i % 128))) != MIDI_OK &&
           std::chrono::steady_clock::now() < giveUp)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (rc == MIDI_OK) ++taken;
  }
  EXPECT_EQ(40000, taken);
  EXPECT_EQ(MIDI_OK, out.send(handle, 0x003C80));
  EXPECT_EQ(MIDI_OK, out.close(handle));
}

TEST_F(SynthAudioProbe, ARunningJackServerIsUsedWhenNothingBeforeItOpens) {
  test::JackServer server;  // points JACK_DEFAULT_SERVER at itself
  ASSERT_TRUE(server.start()) << server.error();
  SynthDevice device;
  auto& [synth, out, handle] = device;
  ASSERT_EQ(MIDI_OK, device.open());
  EXPECT_TRUE(synth->hasAudioDriver());
  EXPECT_EQ(synth->audioReport(), "Audio FluidSynth: jack, " +
                                      std::to_string(test::JackServer::kRate) + " Hz, " +
                                      std::to_string(test::JackServer::kPeriod) +
                                      " frames per period (the JACK server's)");
  // Its audio outputs go to the system's playback ports by themselves.
  test::JackMidiClient look("look", false, false);
  EXPECT_TRUE(
      test::Wait_until([&] { return test::Jack_isconnected(look.client(), "system:playback_1"); },
                       std::chrono::seconds(3)));
  EXPECT_EQ(MIDI_OK, out.send(handle, 0x643C90));
  EXPECT_EQ(MIDI_OK, out.close(handle));
}

TEST_F(SynthAudioProbe, TheBufferIsTheLowLatencyDefaultOrWhatTheEnvironmentAsks) {
  auto bufferOf = [] {
    fluid_settings_t* settings = new_fluid_settings();
    SynthAudio_configure(settings);
    int size = 0, periods = 0;
    double rate = 0;
    fluid_settings_getint(settings, "audio.period-size", &size);
    fluid_settings_getint(settings, "audio.periods", &periods);
    fluid_settings_getnum(settings, "synth.sample-rate", &rate);
    delete_fluid_settings(settings);
    return std::to_string(periods) + " x " + std::to_string(size) + " at " +
           std::to_string(static_cast<int>(rate));
  };
  EXPECT_EQ(bufferOf(), "2 x 256 at 48000");
  setenv("ZT_AUDIO_PERIOD_SIZE", "128", 1);
  setenv("ZT_AUDIO_PERIODS", "3", 1);
  EXPECT_EQ(bufferOf(), "3 x 128 at 48000");
  setenv("ZT_AUDIO_PERIOD_SIZE", "many", 1);  // not a number: the default
  setenv("ZT_AUDIO_PERIODS", "1", 1);         // below what FluidSynth takes
  EXPECT_EQ(bufferOf(), "2 x 256 at 48000");
}

TEST_F(SynthAudioProbe, ANamedDriverThatCannotOpenLeavesTheSynthOpenWithoutAudio) {
  setenv("ZT_AUDIO_DRIVER", "alsa", 1);
  SynthDevice device;
  auto& [synth, out, handle] = device;
  ASSERT_EQ(MIDI_OK, device.open());
  EXPECT_FALSE(synth->hasAudioDriver());
  EXPECT_EQ(synth->audioReport(),
            "Audio FluidSynth: no audio device (tried alsa), the synthesiser renders into nothing");
  EXPECT_EQ(MIDI_OK, out.send(handle, 0x643C90));
}

}  // namespace
}  // namespace zt
