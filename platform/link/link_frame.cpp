#include "platform/link/link_frame.h"

#include "common/midi_message.h"

namespace zt {

void Link_putint(unsigned char* out, int32_t value) {
  const uint32_t u = static_cast<uint32_t>(value);
  out[0] = static_cast<unsigned char>(u & 0xFF);
  out[1] = static_cast<unsigned char>((u >> 8) & 0xFF);
  out[2] = static_cast<unsigned char>((u >> 16) & 0xFF);
  out[3] = static_cast<unsigned char>((u >> 24) & 0xFF);
}

int32_t Link_getint(const unsigned char* in) {
  const uint32_t u = static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
                     (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
  return static_cast<int32_t>(u);
}

void Link_encode(const LinkFrame& frame, unsigned char out[kLinkFrameSize]) {
  Link_putint(out, frame.wParam);
  Link_putint(out + 4, frame.lParam);
}

LinkFrame Link_decode(const unsigned char in[kLinkFrameSize]) {
  return LinkFrame{Link_getint(in), Link_getint(in + 4)};
}

bool Link_framevalid(const LinkFrame& frame) {
  return (static_cast<uint32_t>(frame.lParam) >> 24) == 0;
}

bool Link_frameplayable(const LinkFrame& frame) {
  if (!Link_framevalid(frame)) return false;
  if (frame.lParam == 0) return true;
  const MidiMessage m(static_cast<uint32_t>(frame.lParam));
  return m.isChannel() && m.data1() < 0x80 && m.data2() < 0x80;
}

size_t LinkDecoder::feed(const unsigned char* data, size_t size) {
  if (failed_) return 0;
  size_t taken = 0;
  while (taken < size && held_ < kLinkFrameSize) buf_[held_++] = data[taken++];
  return taken;
}

LinkDecoder::Result LinkDecoder::next(LinkFrame& frame) {
  if (failed_) return Result::malformed;
  if (held_ < kLinkFrameSize) return Result::needMore;
  held_ = 0;
  const LinkFrame decoded = Link_decode(buf_);
  if (!Link_framevalid(decoded)) {
    failed_ = true;
    return Result::malformed;
  }
  frame = decoded;
  return Result::frame;
}

}  // namespace zt
