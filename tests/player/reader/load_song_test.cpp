// Loading whole files as the player does: the song state they leave.
#include <gtest/gtest.h>

#include "player/reader/song_state.h"
#include "tests/support/midi_test_files.h"

namespace zt::test {
namespace {

using Events = EventList;
using Texts = std::vector<std::string>;

class LoadSongTest : public MidiFileTest {};

TEST_F(LoadSongTest, BuildsTheSongFromEveryKindOfEvent) {
  const Bytes data = Meta(0x03, "Piano") + B({0x00, 0xC0, 0x13,              // program change
                                              0x00, 0x90, 0x3C, 0x64,        // note on
                                              0x60, 0x80, 0x3C, 0x40,        // note off at 96
                                              0x00, 0xB0, 0x07, 0x64,        // control change
                                              0x81, 0x00, 0xE0, 0x00, 0x40,  // pitch bend at 224
                                              0x00, 0xD0, 0x30,              // channel pressure
                                              0x00, 0xA0, 0x3C, 0x20}) +     // key pressure
                     Meta(0x58, B({0x06, 0x03, 0x18, 0x08})) +
                     B({0x0A, 0xFF, 0x2F, 0x00});  // end of track at 234
  OpenBytes("all.mid", Header(96) + Track(data));

  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(song_.division, 96);
  EXPECT_EQ(song_.BPM, 120);  // no tempo event
  ASSERT_EQ(song_.trackCount(), 1);
  EXPECT_EQ(song_.SongEventTable[0], (Events{{3, 1, 0, 0},
                                             {0xC0, 0x13, 0, 0},
                                             {0x90, 60, 100, 0},
                                             {0x80, 60, 64, 96},
                                             {0xB0, 7, 100, 96},
                                             {0xE0, 0, 64, 224},
                                             {0xD0, 0x30, 0, 224},
                                             {0xA0, 60, 32, 224},
                                             {88, 6, 8, 224}}));
  EXPECT_EQ(song_.trackEndTick, (std::vector<int64_t>{234}));
  EXPECT_EQ(song_.SongEndTick, 234);
  EXPECT_EQ(song_.TextTable, (Texts{"Sq/Na  1:Piano"}));
  EXPECT_EQ(song_.unrecognised, 0);
}

TEST_F(LoadSongTest, RunningStatusCarriesAcrossTracksAndZeroVelocityIsNoteOff) {
  const Bytes track1 =
      B({0x00, 0x90, 0x3C, 0x64, 0x10, 0x3E, 0x64, 0x10, 0x3C, 0x00}) + EndOfTrack();
  // Starts under the running status track 1 left.
  const Bytes track2 = B({0x00, 0x40, 0x50, 0x05, 0x40, 0x00}) + EndOfTrack();
  OpenBytes("running.mid", Header(480, 2) + Track(track1) + Track(track2));

  ASSERT_EQ(song_.trackCount(), 2);
  EXPECT_EQ(song_.SongEventTable[0],
            (Events{{0x90, 60, 100, 0}, {0x90, 62, 100, 16}, {0x80, 60, 0, 32}}));
  EXPECT_EQ(song_.SongEventTable[1], (Events{{0x90, 64, 80, 0}, {0x80, 64, 0, 5}}));
  EXPECT_EQ(song_.trackEndTick, (std::vector<int64_t>{32, 5}));
  EXPECT_EQ(song_.SongEndTick, 32);
  EXPECT_EQ(song_.unrecognised, 0);
}

TEST_F(LoadSongTest, SystemExclusiveAndStrayStatusBytesClearTheRunningStatus) {
  const Bytes data = B({0x00, 0x90, 0x3C, 0x64,                    // sets running status
                        0x00, 0xF0, 0x02, 0x7E, 0xF7,              // sysex clears it
                        0x00, 0x3C,                                // stray data byte
                        0x00, 0xB1, 0x07, 0x10, 0x00, 0x0A, 0x20,  // new running status
                        0x00, 0xF3,                                // clears it again
                        0x00, 0x0A}) +
                     EndOfTrack();
  OpenBytes("sysex.mid", Header(96) + Track(data));

  EXPECT_EQ(song_.SongEventTable[0],
            (Events{{0x90, 60, 100, 0}, {0xB1, 7, 16, 0}, {0xB1, 10, 32, 0}}));
  EXPECT_EQ(song_.unrecognised, 3);
  EXPECT_EQ(host_.messages, (Texts{"Meta non riconosciuti: 3"}));
}

TEST_F(LoadSongTest, TempoEventsSetBpmInReadingOrder) {
  const Bytes track1 = Tempo(500000) + B({0x0A}) + Tempo(600000).substr(1) + B({0x0A}) +
                       Tempo(400000).substr(1) + EndOfTrack();
  OpenBytes("tempo.mid", Header(96) + Track(track1));
  EXPECT_EQ(song_.SongEventTable[0], (Events{{81, 120, 0, 0}, {81, 100, 0, 10}, {81, 150, 0, 20}}));
  EXPECT_EQ(song_.BPM, 150);

  // The last tempo read wins, even when an earlier track's is later in time.
  const Bytes late = B({0x87, 0x68}) + Tempo(400000).substr(1) + EndOfTrack();
  const Bytes early = Tempo(600000) + EndOfTrack();
  OpenBytes("order.mid", Header(96, 2) + Track(late) + Track(early));
  EXPECT_EQ(song_.SongEventTable[0], (Events{{81, 150, 0, 1000}}));
  EXPECT_EQ(song_.BPM, 100);
}

TEST_F(LoadSongTest, ZeroTempoIsIgnoredAndCounted) {
  const Bytes data = Tempo(400000) + Tempo(0) + B({0x00, 0x90, 0x3C, 0x64}) + EndOfTrack();
  OpenBytes("zerotempo.mid", Header(96) + Track(data));
  EXPECT_EQ(song_.BPM, 150);
  EXPECT_EQ(song_.SongEventTable[0], (Events{{81, 150, 0, 0}, {0x90, 60, 100, 0}}));
  EXPECT_EQ(host_.messages, (Texts{"Meta non riconosciuti: 1"}));
}

TEST_F(LoadSongTest, SkipsKnownMetaEventsAndCountsUnknownOnes) {
  const Bytes data = Meta(0x20, B({0x01})) + Meta(0x21, B({0x00})) +
                     Meta(0x54, B({0x60, 0, 0, 0, 0})) + Meta(0x59, B({0xFE, 0x01})) +
                     Meta(0x7F, B({0x00, 0x00, 0x41})) +
                     Meta(0x00, B({0x00, 0x01})) +  // sequence number: not known
                     Meta(0x07, "cue") +            // cue point: not a stored text
                     B({0x00, 0x90, 0x3C, 0x64}) + EndOfTrack();
  OpenBytes("meta.mid", Header(96) + Track(data));
  EXPECT_EQ(song_.SongEventTable[0], (Events{{0x90, 60, 100, 0}}));
  EXPECT_TRUE(song_.TextTable.empty());
  EXPECT_EQ(song_.unrecognised, 2);
  EXPECT_EQ(host_.messages, (Texts{"Meta non riconosciuti: 2"}));
}

TEST_F(LoadSongTest, TextEntriesAreNumberedAcrossLoads) {
  const Bytes track1 = Meta(0x03, "Uno") + Meta(0x01, "testo") + Meta(0x02, "(c)") + EndOfTrack();
  const Bytes track2 = Meta(0x03, "Due") + Meta(0x04, "Organo") + B({0x05}) +
                       Meta(0x05, B({'p', 0xE8})).substr(1) + Meta(0x06, "Coda") + EndOfTrack();
  const std::string path = Write("texts.mid", Header(96, 2) + Track(track1) + Track(track2));

  Open(path);
  EXPECT_EQ(song_.TextTable, (Texts{"Sq/Na  1:Uno", "Text< 2>:testo", "copy:(c)", "Sq/Na  2:Due",
                                    "Inst:Organo", "Lyric:p" + B({0xE8}) + "*", "Mark:Coda"}));
  EXPECT_EQ(song_.SongEventTable[0], (Events{{3, 1, 0, 0}, {1, 2, 0, 0}, {2, 3, 0, 0}}));
  EXPECT_EQ(song_.SongEventTable[1],
            (Events{{3, 4, 0, 0}, {4, 5, 0, 0}, {5, 6, 0, 5}, {6, 7, 0, 5}}));

  // The entry counter keeps rising from one load to the next.
  Open(path);
  EXPECT_EQ(song_.textTableFirst, 8);
  ASSERT_EQ(song_.TextTable.size(), 7u);
  EXPECT_EQ(song_.TextTable[1], "Text< 9>:testo");
  EXPECT_EQ(song_.SongEventTable[0], (Events{{3, 8, 0, 0}, {1, 9, 0, 0}, {2, 10, 0, 0}}));
  ASSERT_NE(song_.textEntry(14), nullptr);
  EXPECT_EQ(*song_.textEntry(14), "Mark:Coda");
  EXPECT_EQ(song_.textEntry(7), nullptr);
  EXPECT_EQ(song_.textEntry(15), nullptr);
  EXPECT_EQ(song_.textCounter, 14);
}

TEST_F(LoadSongTest, SequenceNameMaskRightAlignsTheTrackNumber) {
  Bytes file = Header(96, 10);
  for (int k = 1; k <= 10; ++k) file += Track(Meta(0x03, "T") + EndOfTrack());
  OpenBytes("names.mid", file);
  ASSERT_EQ(song_.TextTable.size(), 10u);
  EXPECT_EQ(song_.TextTable[1], "Sq/Na  2:T");
  EXPECT_EQ(song_.TextTable[9], "Sq/Na 10:T");
}

TEST_F(LoadSongTest, EndOfTrackEndsTheTrackOnlyWhenEmpty) {
  const Bytes data = B({0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x01,  // not empty: parsing goes
                                                                         // on after the length
                        0x05, 0x80, 0x3C, 0x40,  // (its data byte is read as the next delta)
                        0x00, 0xFF, 0x2F, 0x00,  // ends the track
                        0x00, 0x90, 0x40, 0x40, 0x60, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
  OpenBytes("eot.mid", Header(96) + Track(data));
  EXPECT_EQ(song_.SongEventTable[0], (Events{{0x90, 60, 100, 0}, {0x80, 60, 64, 5}}));
  EXPECT_EQ(song_.trackEndTick[0], 5);
  EXPECT_EQ(song_.BPM, 120);
}

TEST_F(LoadSongTest, MTrkInsideATextSplitsTheTrack) {
  // The text's bytes hold a tag, 4 length bytes and a note on: the reader
  // sees a second track starting there.
  const Bytes text = "MTrk" + B({0, 0, 0, 0, 0x00, 0x90, 0x3C, 0x64});
  const Bytes data = Meta(0x01, text) + EndOfTrack();
  OpenBytes("split.mid", Header(96, 1) + Track(data));
  ASSERT_EQ(song_.trackCount(), 2);
  // Track 1 ends inside its cut text, which is not stored.
  EXPECT_TRUE(song_.SongEventTable[0].empty());
  EXPECT_EQ(song_.SongEventTable[1], (Events{{0x90, 60, 100, 0}}));
  EXPECT_TRUE(song_.TextTable.empty());
}

TEST_F(LoadSongTest, ChunksOfOtherTypesJoinThePrecedingTrack) {
  // A foreign chunk after a track without end of track: its tag, length and
  // data are read on as events of that track under its running status.
  const Bytes foreign = B({0x00, 0x90, 0x3C, 0x40,  // tag: a note on
                           0x00, 0x00, 0x00, 0x03,  // length: a note off (velocity 0), delta 3
                           0x3E, 0x7F, 0x00});      // data: a note on, a delta without event
  const Bytes track = Meta(0x03, "A") + B({0x00, 0x91, 0x30, 0x30});
  OpenBytes("foreign.mid", Header(96, 1) + Track(track) + foreign);
  ASSERT_EQ(song_.trackCount(), 1);
  EXPECT_EQ(song_.SongEventTable[0], (Events{{3, 1, 0, 0},
                                             {0x91, 0x30, 0x30, 0},
                                             {0x90, 60, 64, 0},
                                             {0x80, 0, 0, 0},
                                             {0x90, 62, 127, 3}}));
  EXPECT_EQ(song_.trackEndTick[0], 3);
}

TEST_F(LoadSongTest, HeaderIsNotChecked) {
  // Any 14 bytes will do; the division's top bit is not interpreted, and a
  // tag inside the header does not count.
  const Bytes header = "MTrk" + B({0, 0, 0, 6, 0, 1, 0, 9, 0xE7, 0x28});
  OpenBytes("header.mid", header + "junk" + Track(B({0x00, 0xC5, 0x01}) + EndOfTrack()));
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(song_.division, 0xE728);
  ASSERT_EQ(song_.trackCount(), 1);
  EXPECT_EQ(song_.SongEventTable[0], (Events{{0xC5, 1, 0, 0}}));
}

TEST_F(LoadSongTest, EmptyMissingAndTracklessFilesLeaveNoSong) {
  OpenBytes("empty.mid", "");
  EXPECT_EQ(host_.messages, (Texts{"No midi file loaded!", "Nessun dato disponibile!"}));
  EXPECT_EQ(song_.trackCount(), 0);

  host_.messages.clear();
  Open((dir_ / "missing.mid").string());
  EXPECT_EQ(host_.messages, (Texts{"No midi file loaded!", "Nessun dato disponibile!"}));

  host_.messages.clear();
  Open(dir_.string());  // a folder cannot be read as a file
  EXPECT_EQ(host_.messages, (Texts{"No midi file loaded!", "Nessun dato disponibile!"}));
  EXPECT_EQ(song_.trackCount(), 0);

  host_.messages.clear();
  OpenBytes("notracks.mid", Header(192) + "MTr");
  EXPECT_EQ(host_.messages, (Texts{"Nessun dato disponibile!"}));
  EXPECT_EQ(song_.division, 192);
  EXPECT_EQ(song_.SongEndTick, 0);

  host_.messages.clear();
  OpenBytes("short.mid", "MThd" + B({0, 0, 0, 6, 0, 0, 0, 0, 1}));  // 13 bytes
  EXPECT_EQ(host_.messages, (Texts{"Nessun dato disponibile!"}));
  EXPECT_EQ(song_.division, 256);
}

TEST_F(LoadSongTest, ResetSongEmptiesTheSongButKeepsTheTextCounter) {
  OpenBytes("song.mid", Header(96) + Track(Tempo(400000) + Meta(0x01, "x") + EndOfTrack()));
  ASSERT_EQ(song_.BPM, 150);
  const int stopsBefore = host_.playbackStops;
  ResetSong(song_, host_);
  EXPECT_EQ(host_.playbackStops, stopsBefore + 1);
  EXPECT_EQ(song_.trackCount(), 0);
  EXPECT_EQ(song_.BPM, 0);
  EXPECT_EQ(song_.division, 0);
  EXPECT_TRUE(song_.fileImage.empty());
  EXPECT_TRUE(song_.trackEndTick.empty());
  EXPECT_EQ(song_.textCounter, 1);

  // A load into a song whose tempo was not reset keeps that tempo when the
  // file has none.
  song_.BPM = 77;
  LoadSong(song_, Write("notempo.mid", Header(96) + Track(EndOfTrack())), host_);
  EXPECT_EQ(song_.BPM, 77);
}

TEST_F(LoadSongTest, KeepsEveryEventOfLargeTracksInTablesSizedOnce) {
  // 150 000 notes in one track (a table big enough to be mapped on its
  // own) and 25 000 texts in another: far past the 40 000 records and
  // 20 000 texts of fixed tables.
  Bytes notes = B({0x00, 0x90, 0x3C, 0x64});
  for (int i = 1; i < 150000; ++i) notes += B({0x01, 0x3C, i % 2 ? 0 : 0x64});
  Bytes texts;
  for (int i = 0; i < 25000; ++i) texts += Meta(0x05, "la");
  OpenBytes("large.mid", Header(96, 2) + Track(notes + EndOfTrack()) + Track(texts + EndOfTrack()));

  ASSERT_EQ(song_.trackCount(), 2);
  const Events& track1 = song_.SongEventTable[0];
  ASSERT_EQ(track1.size(), 150000u);
  EXPECT_EQ(track1.capacity(), track1.size());
  EXPECT_EQ(track1[1], (MidiEvent{0x80, 60, 0, 1}));
  EXPECT_EQ(track1.back(), (MidiEvent{0x80, 60, 0, 149999}));
  EXPECT_EQ(song_.SongEventTable[1].size(), 25000u);
  EXPECT_EQ(song_.SongEventTable[1].capacity(), 25000u);
  EXPECT_EQ(song_.TextTable.size(), 25000u);
  EXPECT_EQ(song_.SongEventTable[1].back(), (MidiEvent{5, 25000, 0, 0}));
  EXPECT_EQ(song_.TextTable.back(), "Lyric:la*");
  EXPECT_EQ(song_.SongEndTick, 149999);
}

}  // namespace
}  // namespace zt::test
