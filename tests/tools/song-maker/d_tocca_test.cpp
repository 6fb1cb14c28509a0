// The player's default song as the build wrote it: a church organ piece of
// 30 to 60 seconds in three organ tracks that the reader loads cleanly, and
// that FluidSynth plays as music, with the pitches the score asks for.
#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "player/reader/song_state.h"
#include "tests/support/audio_analysis.h"
#include "tests/support/midi_test_files.h"

namespace zt::test {
namespace {

const std::string kSong = std::string(ZT_DATA_DIR) + "/D_TOCCA.MID";

// Seconds from the start to `tick`, following the song's tempo events.
double SecondsAt(const SongState& song, int64_t tick) {
  std::vector<std::pair<int64_t, int64_t>> tempi;  // tick, BPM
  for (const EventList& track : song.SongEventTable)
    for (const MidiEvent& e : track)
      if (e.kind == kKindTempo) tempi.push_back({e.tick, e.first});
  std::sort(tempi.begin(), tempi.end());
  double seconds = 0;
  int64_t at = 0;
  int64_t bpm = 120;
  for (const auto& [when, value] : tempi) {
    if (when >= tick) break;
    seconds += static_cast<double>(when - at) * 60.0 / static_cast<double>(bpm * song.division);
    at = when;
    bpm = value;
  }
  return seconds + static_cast<double>(tick - at) * 60.0 / static_cast<double>(bpm * song.division);
}

class DefaultSongTest : public MidiFileTest {};

TEST_F(DefaultSongTest, LoadsAsThreeOrganTracksOfHalfAMinute) {
  Open(kSong);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(song_.unrecognised, 0);
  ASSERT_EQ(song_.trackCount(), 4);
  EXPECT_EQ(song_.division, 480);
  for (int k = 1; k <= 3; ++k) {
    const EventList& track = song_.SongEventTable[k];
    int notesOn = 0, notesOff = 0, programs = 0;
    for (const MidiEvent& e : track) {
      if (e.kind == 0xC0 + (k - 1) && e.first == 19) ++programs;  // Church Organ
      if (e.kind == 0x90 + (k - 1)) ++notesOn;
      if (e.kind == 0x80 + (k - 1)) ++notesOff;
    }
    EXPECT_EQ(programs, 1) << "track " << k;
    EXPECT_GT(notesOn, 10) << "track " << k;
    EXPECT_EQ(notesOn, notesOff) << "track " << k;
  }
  const double length = SecondsAt(song_, song_.SongEndTick);
  EXPECT_GE(length, 30.0);
  EXPECT_LE(length, 60.0);
}

// Renders a MIDI file offline through FluidSynth's own file player, as
// mono samples.
std::vector<float> Render(const std::string& path, double rate) {
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", rate);
  fluid_settings_setstr(settings, "player.timing-source", "sample");
  fluid_settings_setint(settings, "synth.lock-memory", 0);
  fluid_synth_t* synth = new_fluid_synth(settings);
  std::vector<float> mono;
  if (fluid_synth_sfload(synth, "/usr/share/sounds/sf2/default-GM.sf2", 1) != FLUID_FAILED) {
    fluid_player_t* player = new_fluid_player(synth);
    fluid_player_add(player, path.c_str());
    fluid_player_play(player);
    std::vector<float> left(512), right(512);
    // Two seconds after the player ends, for the last chord's release.
    int tail = static_cast<int>(2 * rate / 512);
    while (tail > 0 && mono.size() < static_cast<size_t>(120 * rate)) {
      if (fluid_player_get_status(player) != FLUID_PLAYER_PLAYING) --tail;
      fluid_synth_write_float(synth, 512, left.data(), 0, 1, right.data(), 0, 1);
      for (int i = 0; i < 512; ++i) mono.push_back(0.5f * (left[i] + right[i]));
    }
    delete_fluid_player(player);
  }
  delete_fluid_synth(synth);
  delete_fluid_settings(settings);
  return mono;
}

TEST_F(DefaultSongTest, SoundsThroughFluidSynthAtTheWrittenPitches) {
  Open(kSong);
  const double rate = 22050;
  const std::vector<float> audio = Render(kSong, rate);
  ASSERT_FALSE(audio.empty()) << "no soundfont";
  const double length = SecondsAt(song_, song_.SongEndTick);
  const size_t second = static_cast<size_t>(rate);
  ASSERT_GT(static_cast<double>(audio.size()) / rate, length);
  // The last chord sounds to the song's end and then dies away.
  const size_t end = static_cast<size_t>(length * rate);
  EXPECT_GT(Audio_rms(audio, end - second, second), 0.02);
  EXPECT_LT(Audio_rms(audio, end + second, second), 0.001);

  // Sound in nearly every second of the song: its rests are short.
  int sounding = 0, seconds = 0;
  for (size_t at = 0; at + second <= static_cast<size_t>(length * rate); at += second, ++seconds)
    sounding += Audio_rms(audio, at, second) > 0.005;
  EXPECT_GE(sounding, seconds * 9 / 10) << sounding << " of " << seconds;

  auto pitchBetween = [&](int64_t fromTick, int64_t toTick, double lowHz, double highHz) {
    const size_t from = static_cast<size_t>(SecondsAt(song_, fromTick) * rate);
    const size_t to = static_cast<size_t>(SecondsAt(song_, toTick) * rate);
    return Audio_pitch(audio, from, to - from, rate, lowHz, highHz);
  };
  // The first long A, in octaves A5 and A4: its lowest pitch is A4.
  EXPECT_NEAR(pitchBetween(480, 1000, 200, 1200), 440.0, 440.0 * 0.01);
  // The second time, an octave lower: A3.
  EXPECT_NEAR(pitchBetween(3720 + 480, 3720 + 1000, 100, 600), 220.0, 220.0 * 0.01);
}

}  // namespace
}  // namespace zt::test
