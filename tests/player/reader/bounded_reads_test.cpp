// Malformed and cut-off files: every read stays inside the track, an event
// cut off by the end of the data ends its track at the time reached.
#include <gtest/gtest.h>

#include "player/reader/song_state.h"
#include "tests/support/midi_test_files.h"

namespace zt::test {
namespace {

using Events = EventList;

class BoundedReadsTest : public MidiFileTest {
 protected:
  // Loads a one-track file whose track data is `data`, with no length check
  // (the track runs to the end of the file).
  void OpenTrack(const std::string& name, const Bytes& data) {
    OpenBytes(name, Header(96) + Track(data));
  }
};

TEST_F(BoundedReadsTest, EventsCutOffByTheEndAreNotStored) {
  struct Case {
    const char* name;
    Bytes tail;  // after a note on at tick 0
    int64_t endTick;
  };
  const Case cases[] = {
      {"delta", B({0x81}), 0},              // delta runs off
      {"status", B({0x10}), 16},            // delta, no status
      {"note", B({0x10, 0x90, 0x3C}), 16},  // note on without velocity
      {"running", B({0x10, 0x3E}), 16},     // running status, one byte
      {"metatype", B({0x10, 0xFF}), 16},
      {"metalength", B({0x10, 0xFF, 0x01, 0x81}), 16},
      {"text", B({0x10, 0xFF, 0x01, 0x7F, 'a', 'b'}), 16},     // text longer than the data
      {"tempo", B({0x10, 0xFF, 0x51, 0x03, 0x07, 0xA1}), 16},  // two of three bytes
      {"timesig", B({0x10, 0xFF, 0x58, 0x04, 0x04, 0x02}), 16},
      {"skip", B({0x10, 0xFF, 0x7F, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0x01}), 16},  // 4 GB of data
      {"sysex", B({0x10, 0xF0, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x90, 0x3C, 0x64}), 16},
      {"sysexlength", B({0x10, 0xF0}), 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host_.messages.clear();
    OpenTrack(std::string(c.name) + ".mid", B({0x00, 0x90, 0x3C, 0x64}) + c.tail);
    ASSERT_EQ(song_.trackCount(), 1);
    EXPECT_EQ(song_.SongEventTable[0], (Events{{0x90, 60, 100, 0}}));
    EXPECT_EQ(song_.trackEndTick[0], c.endTick);
    EXPECT_EQ(song_.SongEndTick, c.endTick);
    EXPECT_EQ(song_.BPM, 120);
    EXPECT_TRUE(song_.TextTable.empty());
    EXPECT_TRUE(host_.messages.empty());
  }
}

TEST_F(BoundedReadsTest, ACutOffTrackDoesNotStopTheNextOne) {
  // The first track's text claims more bytes than its chunk holds; the tag
  // of the second track bounds it.
  const Bytes track1 = B({0x00, 0x90, 0x3C, 0x64, 0x20, 0xFF, 0x01, 0x40, 'x'});
  const Bytes track2 = B({0x00, 0x3E, 0x50}) + EndOfTrack();  // running status from track 1
  OpenBytes("two.mid", Header(96, 2) + Track(track1) + Track(track2));
  ASSERT_EQ(song_.trackCount(), 2);
  EXPECT_EQ(song_.trackEndTick, (std::vector<int64_t>{32, 0}));
  EXPECT_EQ(song_.SongEventTable[1], (Events{{0x90, 62, 80, 0}}));
}

TEST_F(BoundedReadsTest, HugeDeltasNeverMakeTimeGoBack) {
  const Bytes huge = B({0x8F, 0xFF, 0xFF, 0xFF, 0x7F});  // 2^32 - 1
  const Bytes data =
      huge + B({0x90, 0x3C, 0x64}) + huge + B({0x3C, 0x00}) +
      B({0x81, 0x80, 0x80, 0x80, 0x80, 0x01, 0x3C, 0x01});  // six bytes: low 32 bits, 1
  OpenTrack("huge.mid", data);
  const int64_t max = 0xFFFFFFFFll;
  EXPECT_EQ(song_.SongEventTable[0],
            (Events{{0x90, 60, 100, max}, {0x80, 60, 0, 2 * max}, {0x90, 60, 1, 2 * max + 1}}));
  EXPECT_EQ(song_.SongEndTick, 2 * max + 1);
}

TEST_F(BoundedReadsTest, OutsizedTimeSignatureDenominatorIsZero) {
  OpenTrack("timesig.mid", Meta(0x58, B({0x03, 0xC8, 0x18, 0x08})) +
                               Meta(0x58, B({0x02, 62, 0, 0})) + EndOfTrack());
  EXPECT_EQ(song_.SongEventTable[0], (Events{{88, 3, 0, 0}, {88, 2, int64_t{1} << 62, 0}}));
}

TEST_F(BoundedReadsTest, EveryCutOfAFileLoadsConsistently) {
  // A file with every kind of event, cut after each of its bytes: each load
  // keeps a prefix of the full song's events, in order, with ticks that
  // never decrease and end ticks no earlier than the last event.
  const Bytes track1 = Meta(0x03, "Brano") + Tempo(500000) + Meta(0x58, B({4, 2, 24, 8})) +
                       B({0x00, 0xF0, 0x03, 0x43, 0x10, 0xF7, 0x00, 0xC0, 0x13, 0x00, 0x90, 0x3C,
                          0x64, 0x60, 0x3C, 0x00, 0x81, 0x00, 0xB0, 0x07, 0x64, 0x00, 0x0A, 0x40}) +
                       Meta(0x05, "la") + Meta(0x7E, B({1, 2})) + EndOfTrack();
  const Bytes track2 = B({0x00, 0x3E, 0x50, 0x83, 0x60, 0xE1, 0x00, 0x40}) + EndOfTrack();
  const Bytes file = Header(96, 2) + Track(track1) + Track(track2);

  OpenBytes("full.mid", file);
  const SongState full = song_;
  ASSERT_EQ(full.trackCount(), 2);
  ASSERT_EQ(full.SongEventTable[0].size(), 9u);
  ASSERT_EQ(full.SongEventTable[1].size(), 2u);

  for (size_t cut = 0; cut <= file.size(); ++cut) {
    SCOPED_TRACE(cut);
    Open(Write("cut.mid", file.substr(0, cut)));
    ASSERT_LE(song_.trackCount(), 2);
    for (int k = 0; k < song_.trackCount(); ++k) {
      const Events& events = song_.SongEventTable[k];
      const Events& whole = full.SongEventTable[k];
      ASSERT_LE(events.size(), whole.size());
      int64_t last = 0;
      for (size_t i = 0; i < events.size(); ++i) {
        // Text entry numbers rise from load to load; everything else holds.
        EXPECT_EQ(events[i].kind, whole[i].kind);
        if (events[i].kind > 6) {
          EXPECT_EQ(events[i], whole[i]);
        }
        EXPECT_GE(events[i].tick, last);
        last = events[i].tick;
      }
      EXPECT_GE(song_.trackEndTick[k], last);
      EXPECT_LE(song_.trackEndTick[k], full.trackEndTick[k]);
    }
  }
}

}  // namespace
}  // namespace zt::test
