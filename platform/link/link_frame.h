#pragma once
// The frames of the player-to-console link, without Qt: the fuzz build and
// the thread-sanitizer build use them as they are.
//
// A request is 8 bytes: wParam then lParam, each a little-endian int32, the
// parameters of window message WM_PLAYER_MIDI. The answer is one
// little-endian int32, written after the console has handled the request.
#include <cstddef>
#include <cstdint>

namespace zt {

// The one message the player sends the console, and the tick message the
// player's timers post to its own window (wParam 0, lParam the timer slot).
inline constexpr int32_t WM_PLAYER_MIDI = 3073;
inline constexpr int32_t WM_PLAYER_TICK = 3084;

inline constexpr size_t kLinkFrameSize = 8;
inline constexpr size_t kLinkAnswerSize = 4;

struct LinkFrame {
  int32_t wParam = 0;
  int32_t lParam = 0;
};

void Link_putint(unsigned char* out, int32_t value);
int32_t Link_getint(const unsigned char* in);

void Link_encode(const LinkFrame& frame, unsigned char out[kLinkFrameSize]);
LinkFrame Link_decode(const unsigned char in[kLinkFrameSize]);

// True for what a player legitimately sends, so only those reach the engine:
// wParam 0 (direct) or 1 (filtered), and as lParam either 0 (all notes off),
// a channel message 0x80-0xEF with both data bytes below 0x80 and nothing
// above them, or a text event (low byte the meta type 1-6, the bytes above it
// the text's entry number, which the console never interprets).
bool Link_framevalid(const LinkFrame& frame);

// Splits a byte stream into frames. Feed it whatever arrived; take the
// complete frames one by one. A frame that fails Link_framevalid puts the
// decoder into the failed state for good: the connection must be closed and
// nothing after it read.
class LinkDecoder {
 public:
  enum class Result { Frame, NeedMore, Malformed };

  // Appends up to `size` bytes; returns how many it took (it holds at most
  // one partial frame, so the rest waits for the next call after next()).
  size_t feed(const unsigned char* data, size_t size);
  // The next complete frame, if any.
  Result next(LinkFrame& frame);
  // Bytes of an incomplete frame held back.
  size_t pending() const { return held_; }
  bool failed() const { return failed_; }

 private:
  unsigned char buf_[kLinkFrameSize] = {};
  size_t held_ = 0;
  bool failed_ = false;
};

}  // namespace zt
