// Scores written as text, read and written out as MIDI files that the
// player's own reader then loads.
#include <gtest/gtest.h>

#include "player/reader/song_state.h"
#include "tests/support/midi_test_files.h"
#include "tools/song-maker/note_text.h"
#include "tools/song-maker/smf_writer.h"

namespace zt::song {
namespace {

TEST(NoteText, NoteNamesAndLengths) {
  EXPECT_EQ(Note_key("C4"), 60);
  EXPECT_EQ(Note_key("A5"), 81);
  EXPECT_EQ(Note_key("C#4"), 61);
  EXPECT_EQ(Note_key("Bb2"), 46);
  EXPECT_EQ(Note_key("D1"), 26);
  EXPECT_EQ(Note_key("C-1"), 0);
  EXPECT_EQ(Note_key("G9"), 127);
  EXPECT_EQ(Note_key("A9"), -1);
  EXPECT_EQ(Note_key("H4"), -1);
  EXPECT_EQ(Note_key("C"), -1);
  EXPECT_EQ(Note_key("C4x"), -1);

  EXPECT_EQ(Note_length("4", 480), 480);
  EXPECT_EQ(Note_length("4.", 480), 720);
  EXPECT_EQ(Note_length("16t", 480), 80);
  EXPECT_EQ(Note_length("1+4.+16", 480), 2760);
  EXPECT_EQ(Note_length("3", 480), -1);
  EXPECT_EQ(Note_length("128", 480), -1);
  EXPECT_EQ(Note_length("4+", 480), -1);
  EXPECT_EQ(Note_length("64", 100), -1);  // 400 / 64 is no whole tick
}

TEST(NoteText, ReadsTracksNotesChordsAndBrokenChords) {
  std::string error;
  const auto score = Score_read(
      "# a comment\n"
      "division 96\n"
      "title Test\n"
      "tempo 0 60\n"
      "tempo 192 120   # faster\n"
      "track Right\n"
      "channel 3\n"
      "program 19\n"
      "C#4/4 r/8 D4+F4/8\n"
      "at 384\n"
      "C3/2,16 E3/4\n",
      error);
  ASSERT_TRUE(score) << error;
  EXPECT_EQ(score->division, 96);
  EXPECT_EQ(score->title, "Test");
  EXPECT_EQ(score->tempi, (std::vector<Tempo>{{0, 60}, {192, 120}}));
  ASSERT_EQ(score->tracks.size(), 1u);
  const Track& track = score->tracks[0];
  EXPECT_EQ(track.name, "Right");
  EXPECT_EQ(track.channel, 3);
  EXPECT_EQ(track.program, 19);
  EXPECT_EQ(track.notes,
            (std::vector<Note>{
                {0, 96, 61}, {144, 48, 62}, {144, 48, 65}, {384, 192, 48}, {408, 96, 52}}));
}

TEST(NoteText, FaultsNameTheirLine) {
  std::string error;
  EXPECT_FALSE(Score_read("track A\nC4/4 X4/4\n", error));
  EXPECT_EQ(error, "line 2: \"X4\" is no note");
  EXPECT_FALSE(Score_read("C4/4\n", error));
  EXPECT_EQ(error, "line 1: \"C4/4\" outside a track");
  EXPECT_FALSE(Score_read("track A\nchannel 16\n", error));
  EXPECT_EQ(error, "line 2: channel must be 0-15");
  EXPECT_FALSE(Score_read("track A\nC4\n", error));
  EXPECT_EQ(error, "line 2: \"C4\" has no length");
  EXPECT_FALSE(Score_read("track A\nC4/5\n", error));
  EXPECT_FALSE(Score_read("track A\nprogram 19 20\n", error));
  EXPECT_EQ(error, "line 2: unexpected \"20\"");
  EXPECT_FALSE(Score_read("# nothing\n", error));
  EXPECT_EQ(error, "no track");
}

class SmfWriterTest : public test::MidiFileTest {};

TEST_F(SmfWriterTest, TheReaderLoadsWhatTheWriterWrites) {
  std::string error;
  const auto score = Score_read(
      "division 96\ntitle Prova\ntempo 0 60\ntempo 96 150\n"
      "track One\nchannel 2\nprogram 19\nvelocity 90\nC4/4 C4/4\n"
      "track Two\nchannel 9\nG2/2\n",
      error);
  ASSERT_TRUE(score) << error;
  OpenBytes("written.mid", Smf_write(*score));
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(song_.division, 96);
  EXPECT_EQ(song_.BPM, 150);  // the last tempo read
  ASSERT_EQ(song_.trackCount(), 3);
  EXPECT_EQ(song_.SongEventTable[0], (EventList{{3, song_.textTableFirst, 0, 0},
                                                {kKindTimeSignature, 4, 4, 0},
                                                {kKindTempo, 60, 0, 0},
                                                {kKindTempo, 150, 0, 96}}));
  // The repeated note ends before it is struck again.
  EXPECT_EQ(song_.SongEventTable[1], (EventList{{3, song_.textTableFirst + 1, 0, 0},
                                                {0xC2, 19, 0, 0},
                                                {0x92, 60, 90, 0},
                                                {0x82, 60, 64, 96},
                                                {0x92, 60, 90, 96},
                                                {0x82, 60, 64, 192}}));
  EXPECT_EQ(
      song_.SongEventTable[2],
      (EventList{{3, song_.textTableFirst + 2, 0, 0}, {0x99, 43, 100, 0}, {0x89, 43, 64, 192}}));
  EXPECT_EQ(song_.TextTable[0], "Sq/Na  1:Prova");
  EXPECT_EQ(song_.SongEndTick, 192);
}

}  // namespace
}  // namespace zt::song
