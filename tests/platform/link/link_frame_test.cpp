// Frames of the link: byte order, and which requests may reach the console.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/link/link_frame.h"

namespace zt {
namespace {

TEST(LinkFrame, LittleEndianBothWays) {
  unsigned char bytes[kLinkFrameSize];
  Link_encode(LinkFrame{1, 0x92 + 256 * 60 + 65536 * 100}, bytes);
  const unsigned char expected[kLinkFrameSize] = {1, 0, 0, 0, 0x92, 60, 100, 0};
  EXPECT_EQ(0, std::memcmp(bytes, expected, kLinkFrameSize));
  const LinkFrame back = Link_decode(bytes);
  EXPECT_EQ(1, back.wParam);
  EXPECT_EQ(6569106, back.lParam);

  unsigned char four[4];
  Link_putint(four, -2);
  EXPECT_EQ(0xFE, four[0]);
  EXPECT_EQ(0xFF, four[3]);
  EXPECT_EQ(-2, Link_getint(four));
}

TEST(LinkFrame, WellFormedIsAnyModeWithAShortMessageOnlyChannelMessagesArePlayed) {
  struct Case {
    LinkFrame frame;
    bool valid, playable;
  };
  const Case cases[] = {
      {{0, 0}, true, true},                               // all notes off
      {{1, 0x92 + 256 * 60 + 65536 * 100}, true, true},   // note on, filtered
      {{0, 0x80 + 256 * 127}, true, true},                // note off
      {{0, 0xC5 + 256 * 19}, true, true},                 // program change
      {{0, 0xEF + 256 * 127 + 65536 * 127}, true, true},  // pitch bend, top
      {{2, 0x90 + 256 * 60 + 65536 * 90}, true, true},    // another mode plays as direct
      {{0, 0xF8}, true, false},                           // system messages: ignored
      {{0, 0xF0 + 256 * 0x7E}, true, false},
      {{2, 0x90 + 256 * 0x80 + 65536 * 0x80}, true, false},  // data bytes with the top bit
      {{1, 0x90 + 256 * 60 + 65536 * 0x80}, true, false},
      {{0, 0xC0 + 256 * 0xC3}, true, false},
      {{0, 0x05 + 256 * 7}, true, false},  // no status byte (a text event)
      {{-7, 0x7F}, true, false},
      {{0, 0x90 + 256 * 60 + (1 << 24)}, false, false},  // a fourth byte: garbage
      {{0, static_cast<int32_t>(0xFFFFFF05u)}, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.valid, Link_framevalid(c.frame)) << c.frame.wParam << " " << c.frame.lParam;
    EXPECT_EQ(c.playable, Link_frameplayable(c.frame)) << c.frame.wParam << " " << c.frame.lParam;
  }
}

TEST(LinkDecoder, SplitsAStreamIntoFramesWhateverTheChunks) {
  unsigned char stream[3 * kLinkFrameSize];
  Link_encode({0, 0x90 + 256 * 60 + 65536 * 90}, stream);
  Link_encode({1, 0x80 + 256 * 60}, stream + 8);
  Link_encode({0, 0}, stream + 16);
  for (size_t chunk = 1; chunk <= sizeof stream; ++chunk) {
    LinkDecoder d;
    std::vector<LinkFrame> got;
    size_t at = 0;
    while (at < sizeof stream) {
      at += d.feed(stream + at, std::min(chunk, sizeof stream - at));
      LinkFrame f;
      LinkDecoder::Result r;
      while ((r = d.next(f)) == LinkDecoder::Result::frame) got.push_back(f);
      ASSERT_EQ(LinkDecoder::Result::needMore, r);
    }
    ASSERT_EQ(3u, got.size()) << chunk;
    EXPECT_EQ(0x90 + 256 * 60 + 65536 * 90, got[0].lParam);
    EXPECT_EQ(1, got[1].wParam);
    EXPECT_EQ(0, got[2].lParam);
    EXPECT_EQ(0u, d.pending());
  }
}

TEST(LinkDecoder, AMalformedFrameStopsTheStreamForGood) {
  unsigned char stream[2 * kLinkFrameSize];
  Link_encode({0, 0x90 + (1 << 24)}, stream);
  Link_encode({0, 0}, stream + 8);
  LinkDecoder d;
  EXPECT_EQ(kLinkFrameSize, d.feed(stream, sizeof stream));
  LinkFrame f{7, 7};
  EXPECT_EQ(LinkDecoder::Result::malformed, d.next(f));
  EXPECT_EQ(7, f.wParam);  // nothing of it handed out
  EXPECT_TRUE(d.failed());
  EXPECT_EQ(0u, d.feed(stream + 8, 8));
  EXPECT_EQ(LinkDecoder::Result::malformed, d.next(f));
}

}  // namespace
}  // namespace zt
