// Variable-length quantities, tempo rounding and the text entry formats.
#include <gtest/gtest.h>

#include "player/reader/track_parser.h"
#include "tests/support/midi_test_files.h"

namespace zt::test {
namespace {

TEST(ReadVarLen, ReadsQuantitiesAndStopsOnTheirLastByte) {
  struct Case {
    Bytes bytes;
    uint32_t value;
  };
  const Case cases[] = {
      {B({0x00}), 0},
      {B({0x7F}), 127},
      {B({0x81, 0x00}), 128},
      {B({0xC0, 0x00}), 8192},
      {B({0xFF, 0x7F}), 16383},
      {B({0x81, 0x80, 0x00}), 16384},
      {B({0xFF, 0xFF, 0xFF, 0x7F}), 0x0FFFFFFF},
  };
  for (const Case& c : cases) {
    // Put the quantity after a lead byte and before a trailing one, to see
    // the position land on its last byte.
    const Bytes track = B({0x55}) + c.bytes + B({0x99});
    size_t p = 2;
    EXPECT_EQ(ReadVarLen(track, p), c.value);
    EXPECT_EQ(p, 1 + c.bytes.size());
  }
}

TEST(ReadVarLen, LongQuantitiesKeepTheirLowBits) {
  // Five bytes: 0x8F 0xFF 0xFF 0xFF 0x7F is 2^32 - 1; six wrap to 32 bits.
  Bytes track = B({0x8F, 0xFF, 0xFF, 0xFF, 0x7F});
  size_t p = 1;
  EXPECT_EQ(ReadVarLen(track, p), 0xFFFFFFFFu);
  EXPECT_EQ(p, 5u);
  track = B({0x81, 0x80, 0x80, 0x80, 0x80, 0x01});
  p = 1;
  EXPECT_EQ(ReadVarLen(track, p), 1u);  // 2^35 + 1 keeps its low 32 bits
  EXPECT_EQ(p, 6u);
}

TEST(ReadVarLen, NeverReadsPastTheTrack) {
  // The continuation bit on the last byte would read on; the quantity
  // ends there and the position says so.
  const Bytes track = B({0x00, 0x81, 0x82});
  size_t p = 2;
  ReadVarLen(std::string_view(track), p);
  EXPECT_EQ(p, track.size() + 1);
  p = 4;
  EXPECT_EQ(ReadVarLen(track, p), 0u);
  EXPECT_EQ(p, 4u);
  p = 1;
  EXPECT_EQ(ReadVarLen(std::string_view(), p), 0u);
  EXPECT_EQ(p, 1u);
}

TEST(Tempo_frommicroseconds, RoundsToNearestWithHalvesToEven) {
  EXPECT_EQ(Tempo_frommicroseconds(500000), 120);
  EXPECT_EQ(Tempo_frommicroseconds(600000), 100);
  EXPECT_EQ(Tempo_frommicroseconds(400000), 150);
  EXPECT_EQ(Tempo_frommicroseconds(1), 60000000);
  EXPECT_EQ(Tempo_frommicroseconds(0xFFFFFF), 4);  // 3.58
  EXPECT_EQ(Tempo_frommicroseconds(461539), 130);  // 129.9998
  EXPECT_EQ(Tempo_frommicroseconds(40000000), 2);  // 1.5 to even
  EXPECT_EQ(Tempo_frommicroseconds(24000000), 2);  // 2.5 to even
  EXPECT_EQ(Tempo_frommicroseconds(480000), 125);
  EXPECT_EQ(Tempo_frommicroseconds(700000), 86);  // 85.71
  EXPECT_EQ(Tempo_frommicroseconds(923077), 65);  // 64.99997
}

TEST(Track_textentry, BuildsEachTypesEntry) {
  EXPECT_EQ(Track_textentry(1, 7, 1, "hello"), "Text< 7>:hello");
  EXPECT_EQ(Track_textentry(2, 8, 1, "(c) 1999"), "copy:(c) 1999");
  EXPECT_EQ(Track_textentry(3, 9, 2, "Organo"), "Sq/Na  2:Organo");
  EXPECT_EQ(Track_textentry(3, 9, 12, "Organo"), "Sq/Na 12:Organo");
  EXPECT_EQ(Track_textentry(3, 9, 123, "x"), "Sq/Na 123:x");
  EXPECT_EQ(Track_textentry(4, 10, 1, "Flute"), "Inst:Flute");
  EXPECT_EQ(Track_textentry(5, 11, 1, "la"), "Lyric:la*");
  EXPECT_EQ(Track_textentry(6, 12, 1, "Verse"), "Mark:Verse");
  // Texts are bytes: Windows-1252 letters and even NULs stay as they are.
  EXPECT_EQ(Track_textentry(5, 13, 1, B({'p', 0xE8, 0x00})), "Lyric:p" + B({0xE8, 0x00}) + "*");
}

}  // namespace
}  // namespace zt::test
