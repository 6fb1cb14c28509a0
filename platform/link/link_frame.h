#pragma once
// The frames of the player-to-console link, without Qt: the fuzz build and
// the thread-sanitizer build use them as they are.
//
// A request is 8 bytes: wParam then lParam, each a little-endian int32, the
// parameters of window message WM_PLAYER_MIDI. The answer is one
// little-endian int32, written after the console has handled the request
// (0 for a request it ignores). A player sends its next request only after
// the answer: the console closes a connection on a request followed by more
// bytes before its answer (too long), on part of one left hanging (short),
// and on one that fails Link_framevalid (garbage).
#include <cstddef>
#include <cstdint>

namespace zt {

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

// True for a well-formed request: any routing mode (the console treats 1 as
// filtered and every other value as direct) and an lParam that is a packed
// short message, at most three bytes with nothing above them. Eight bytes
// with a fourth message byte are not a request of any player: garbage.
bool Link_framevalid(const LinkFrame& frame);

// True for a well-formed request that the console hands to its window
// procedure: all notes off (lParam 0), or a channel message 0x80-0xEF whose
// data bytes are both below 0x80. Every other well-formed request is
// answered and ignored: the console drops system messages itself, and a
// message without a status byte, or with a data byte of 0x80 or more, would
// put a stray status or data byte on the synthesiser's wire if forwarded.
bool Link_frameplayable(const LinkFrame& frame);

// Splits a byte stream into frames. Feed it whatever arrived; take the
// complete frames one by one. A frame that fails Link_framevalid puts the
// decoder into the failed state for good: the connection must be closed and
// nothing after it read.
class LinkDecoder {
 public:
  enum class Result { frame, needMore, malformed };

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
