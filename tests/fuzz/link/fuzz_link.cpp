// The console's side of the link on arbitrary bytes: the first byte chooses
// how the rest is cut into reads, the rest is the stream a player sent.
// Every frame handed out must be one a player may send, and nothing may be
// handed out after a malformed one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/link/link_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t chunk = 1 + data[0] % 16;
  ++data;
  --size;
  zt::LinkDecoder decoder;
  size_t at = 0;
  size_t frames = 0;
  bool failed = false;
  while (at < size && !failed) {
    const size_t offered = size - at < chunk ? size - at : chunk;
    const size_t taken = decoder.feed(data + at, offered);
    at += taken;
    zt::LinkFrame frame;
    for (;;) {
      const auto r = decoder.next(frame);
      if (r == zt::LinkDecoder::Result::NeedMore) break;
      if (r == zt::LinkDecoder::Result::Malformed) {
        failed = true;
        break;
      }
      if (!zt::Link_framevalid(frame)) std::abort();
      if (frame.wParam != 0 && frame.wParam != 1) std::abort();
      ++frames;
    }
    if (taken == 0 && !failed) std::abort();  // a decoder that stalls would hang the console
  }
  if (frames > size / zt::kLinkFrameSize) std::abort();
  return 0;
}
