// The embedded synthesiser's channel pool, on a recorder of the calls it
// makes: which internal channel each note, release and channel message
// reaches. The same pool on the real FluidSynth is measured in the synth
// driver's tests.
#include "platform/midi/synth_channels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace zt {
namespace {

// Every call as a short text ("on 3 60 100"), and the keys each internal
// channel sounds now.
struct Recorder : SynthVoices {
  std::vector<std::string> calls;
  std::set<std::pair<int, int>> sounding;  // (internal channel, key)

  void add(std::string text) { calls.push_back(std::move(text)); }
  static std::string n(int v) { return " " + std::to_string(v); }
  void noteOn(int ch, int key, int velocity) override {
    add("on" + n(ch) + n(key) + n(velocity));
    sounding.insert({ch, key});
  }
  void noteOff(int ch, int key) override {
    add("off" + n(ch) + n(key));
    sounding.erase({ch, key});
  }
  void control(int ch, int controller, int value) override {
    add("cc" + n(ch) + n(controller) + n(value));
    if (controller >= 120)
      for (auto it = sounding.begin(); it != sounding.end();)
        it = it->first == ch ? sounding.erase(it) : std::next(it);
  }
  void bankSelect(int ch, int bank) override { add("bank" + n(ch) + n(bank)); }
  void programChange(int ch, int program) override { add("prog" + n(ch) + n(program)); }
  void pitchBend(int ch, int value) override { add("bend" + n(ch) + n(value)); }
  void channelPressure(int ch, int value) override { add("pressure" + n(ch) + n(value)); }
  void keyPressure(int ch, int key, int value) override {
    add("keypressure" + n(ch) + n(key) + n(value));
  }
  void setDrums(int ch, bool drums) override { add("drums" + n(ch) + n(drums)); }
  void systemReset() override { add("reset"); }

  // The internal channel of the last note-on.
  int lastOn() const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
      if (it->rfind("on ", 0) == 0) return std::stoi(it->substr(3));
    return -1;
  }
  // The calls that start with `prefix`.
  std::vector<std::string> starting(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }
};

uint32_t msg(int status, int d1, int d2 = 0) { return status | d1 << 8 | d2 << 16; }

// One register as the console plays it on channel 0: program, pan, note.
int playRegister(SynthChannels& pool, Recorder& r, int program, int pan, int key, int vel = 100) {
  pool.play(msg(0xC0, program), r);
  pool.play(msg(0xB0, 10, pan), r);
  pool.play(msg(0x90, key, vel), r);
  return r.lastOn();
}

TEST(SynthChannels, RegistersAtOnePitchLayerOnChannelsOfTheirOwnAndOneReleaseEndsThemAll) {
  SynthChannels pool;
  Recorder r;
  const int organ = playRegister(pool, r, 19, 0, 60);
  const int flute = playRegister(pool, r, 73, 127, 60);
  // The forwarded key: the last register's program and pan, the same key.
  pool.play(msg(0x90, 60, 90), r);
  const int forwarded = r.lastOn();
  EXPECT_EQ(0, organ);  // a lone combination plays where the channel always did
  EXPECT_EQ(3u, (std::set<int>{organ, flute, forwarded}.size()));
  EXPECT_EQ(3u, r.sounding.size());
  // Each channel got its program and pan before its note, and no pan or
  // program reached a channel that was already sounding.
  EXPECT_EQ((std::vector<std::string>{"prog 0 19", "prog" + Recorder::n(flute) + " 73",
                                      "prog" + Recorder::n(forwarded) + " 73"}),
            r.starting("prog"));
  EXPECT_EQ((std::vector<std::string>{"cc 0 10 0", "cc" + Recorder::n(flute) + " 10 127",
                                      "cc" + Recorder::n(forwarded) + " 10 127"}),
            r.starting("cc"));

  pool.play(msg(0x80, 60), r);
  EXPECT_TRUE(r.sounding.empty());
  EXPECT_EQ(3u, r.starting("off").size());
  EXPECT_EQ(0, pool.soundingKeys());

  // The next key reuses the channels the combinations already have.
  r.calls.clear();
  EXPECT_EQ(organ, playRegister(pool, r, 19, 0, 64));
  EXPECT_EQ(flute, playRegister(pool, r, 73, 127, 64));
  EXPECT_TRUE(r.starting("prog").empty());  // chosen again: nothing to prepare
  EXPECT_TRUE(r.starting("cc").empty());
  EXPECT_EQ(3, pool.usedBy(0));
}

TEST(SynthChannels, ChannelMessagesReachEveryInternalChannelOfTheirChannelAndLaterOnes) {
  SynthChannels pool;
  Recorder r;
  const int a = playRegister(pool, r, 19, 0, 60);
  const int b = playRegister(pool, r, 73, 127, 60);
  pool.play(msg(0xC1, 40), r);
  pool.play(msg(0x91, 50, 100), r);
  const int other = r.lastOn();

  r.calls.clear();
  pool.play(msg(0xB0, 7, 50), r);    // volume
  pool.play(msg(0xE0, 0, 80), r);    // pitch bend up
  pool.play(msg(0xB0, 64, 127), r);  // sustain
  EXPECT_EQ((std::vector<std::string>{
                "cc" + Recorder::n(a) + " 7 50", "cc" + Recorder::n(b) + " 7 50",
                "cc" + Recorder::n(a) + " 64 127", "cc" + Recorder::n(b) + " 64 127"}),
            r.starting("cc"));
  EXPECT_EQ(2u, r.starting("bend").size());

  // Held by the pedal after the release; all notes off then leaves them
  // sustained too, and the pedal's release lets them go.
  pool.play(msg(0x80, 60), r);
  EXPECT_EQ(3, pool.soundingKeys());
  pool.play(msg(0xB0, 123, 0), r);
  EXPECT_EQ(3, pool.soundingKeys());  // channel 1's key is still down
  pool.play(msg(0xB0, 64, 0), r);
  EXPECT_EQ(1, pool.soundingKeys());

  // A combination taken now starts with the channel's volume and bend.
  r.calls.clear();
  const int c = playRegister(pool, r, 52, 64, 67);
  EXPECT_NE(c, a);
  EXPECT_NE(c, b);
  EXPECT_NE(c, other);
  const auto cc = r.starting("cc" + Recorder::n(c));
  EXPECT_NE(std::find(cc.begin(), cc.end(), "cc" + Recorder::n(c) + " 7 50"), cc.end());
  EXPECT_EQ((std::vector<std::string>{"bend" + Recorder::n(c) + " 10240"}), r.starting("bend"));

  // Reset all controllers reaches them all; channel 1 is untouched.
  r.calls.clear();
  pool.play(msg(0xB0, 121, 0), r);
  EXPECT_EQ(3u, r.starting("cc").size());
  EXPECT_TRUE(r.starting("cc" + Recorder::n(other)).empty());
}

TEST(SynthChannels, AFullPoolReusesTheIdlestChannelAndStealsOnlyWhenEveryOneIsHeld) {
  SynthChannels pool(16);
  Recorder r;
  // 16 combinations under one key fill the pool.
  for (int p = 0; p < 16; ++p) playRegister(pool, r, p, 64, 60);
  EXPECT_EQ(16, pool.usedBy(0));
  // Released keys leave the channels idle: a new combination takes the one
  // used longest ago, channel 0, without stealing.
  for (int p = 0; p < 16; ++p) {
    pool.play(msg(0xC0, p), r);
    pool.play(msg(0x80, 60), r);
  }
  EXPECT_EQ(0, pool.soundingKeys());
  const int fresh = playRegister(pool, r, 100, 64, 62);
  EXPECT_EQ(0u, pool.stolenCount());

  // With every channel holding a key, the least recently used is released
  // first, then taken.
  for (int p = 0; p < 15; ++p) playRegister(pool, r, 20 + p, 64, 70);
  r.calls.clear();
  const int stolen = playRegister(pool, r, 120, 64, 72);
  EXPECT_EQ(1u, pool.stolenCount());
  EXPECT_EQ(fresh, stolen);
  EXPECT_EQ("cc" + Recorder::n(stolen) + " 123 0", r.starting("cc").front());
  // Releasing every key leaves nothing sounding.
  for (int k : {62, 70, 72}) pool.play(msg(0x80, k), r);
  EXPECT_TRUE(r.sounding.empty());
  EXPECT_EQ(0, pool.soundingKeys());
}

TEST(SynthChannels, AFullPoolOfTheDefaultSizeNeverPlaysOnFluidSynthsNoChannelMarker) {
  SynthChannels pool;
  Recorder r;
  for (int p = 0; p < 300; ++p) playRegister(pool, r, p % 128, p / 128 * 40, 40 + p % 40);
  int highest = -1;
  for (const auto& c : r.calls) {
    const auto space = c.find(' ');
    if (space != std::string::npos && c.rfind("reset", 0) != 0)
      highest = std::max(highest, std::stoi(c.substr(space + 1)));
  }
  EXPECT_EQ(254, highest);
}

TEST(SynthChannels, ThePercussionChannelPlaysDrumKitsAndOthersMelodicPrograms) {
  SynthChannels pool(16);
  Recorder r;
  pool.play(msg(0x99, 36, 100), r);  // a kick on channel 10 plays where it always did
  EXPECT_EQ(9, r.lastOn());
  EXPECT_TRUE(r.starting("drums").empty());
  EXPECT_EQ((std::vector<std::string>{"bank 9 128"}), r.starting("bank"));
  pool.play(msg(0x89, 36), r);
  // Fill the rest, then a melodic combination takes channel 9, idle longest.
  for (int p = 0; p < 15; ++p) {
    playRegister(pool, r, p, 64, 60);
    pool.play(msg(0x80, 60), r);
  }
  r.calls.clear();
  EXPECT_EQ(9, playRegister(pool, r, 99, 64, 60));
  EXPECT_EQ((std::vector<std::string>{"drums 9 0"}), r.starting("drums"));
  EXPECT_EQ("bank 9 0", r.starting("bank").front());
}

TEST(SynthChannels, ASystemResetFreesEveryChannel) {
  SynthChannels pool;
  Recorder r;
  playRegister(pool, r, 19, 0, 60);
  playRegister(pool, r, 73, 127, 60);
  pool.play(0xFF, r);
  EXPECT_EQ("reset", r.calls.back());
  EXPECT_EQ(0, pool.usedBy(0));
  EXPECT_EQ(0, pool.soundingKeys());
}

}  // namespace
}  // namespace zt
