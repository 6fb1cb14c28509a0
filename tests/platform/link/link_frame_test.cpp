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

TEST(LinkFrame, AcceptsWhatThePlayerSends) {
  EXPECT_TRUE(Link_framevalid({0, 0}));                               // all notes off
  EXPECT_TRUE(Link_framevalid({1, 0x92 + 256 * 60 + 65536 * 100}));   // note on, filtered
  EXPECT_TRUE(Link_framevalid({0, 0x80 + 256 * 127}));                // note off
  EXPECT_TRUE(Link_framevalid({0, 0xC5 + 256 * 19}));                 // program change
  EXPECT_TRUE(Link_framevalid({0, 0xEF + 256 * 127 + 65536 * 127}));  // pitch bend, top
  for (int type = 1; type <= 6; ++type) EXPECT_TRUE(Link_framevalid({0, type + 256 * 7})) << type;
  // A text's entry number is never read by the console, however large.
  EXPECT_TRUE(Link_framevalid({1, static_cast<int32_t>(0xFFFFFF05u)}));
}

TEST(LinkFrame, RefusesEverythingElse) {
  EXPECT_FALSE(Link_framevalid({2, 0}));
  EXPECT_FALSE(Link_framevalid({-1, 0x90 + 256 * 60}));
  EXPECT_FALSE(Link_framevalid({0, 0xF0}));  // system messages
  EXPECT_FALSE(Link_framevalid({0, 0xFF}));
  EXPECT_FALSE(Link_framevalid({0, 0x7F}));               // no status, not a text
  EXPECT_FALSE(Link_framevalid({0, 0x07}));               // meta type 7 is never sent
  EXPECT_FALSE(Link_framevalid({0, 0x90 + 256 * 0x80}));  // data byte with the top bit
  EXPECT_FALSE(Link_framevalid({0, 0x90 + 256 * 60 + 65536 * 0x80}));
  EXPECT_FALSE(Link_framevalid({0, 0x90 + 256 * 60 + (1 << 24)}));  // a fourth byte
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
      while ((r = d.next(f)) == LinkDecoder::Result::Frame) got.push_back(f);
      ASSERT_EQ(LinkDecoder::Result::NeedMore, r);
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
  Link_encode({5, 0x90}, stream);
  Link_encode({0, 0}, stream + 8);
  LinkDecoder d;
  EXPECT_EQ(kLinkFrameSize, d.feed(stream, sizeof stream));
  LinkFrame f{7, 7};
  EXPECT_EQ(LinkDecoder::Result::Malformed, d.next(f));
  EXPECT_EQ(7, f.wParam);  // nothing of it handed out
  EXPECT_TRUE(d.failed());
  EXPECT_EQ(0u, d.feed(stream + 8, 8));
  EXPECT_EQ(LinkDecoder::Result::Malformed, d.next(f));
}

}  // namespace
}  // namespace zt
