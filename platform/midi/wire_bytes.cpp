#include "platform/midi/wire_bytes.h"

namespace zt {

namespace {

// Bytes of a short message with this status; 0 for what cannot be sent as one.
size_t lengthOf(unsigned status) {
  if (status < 0x80) return 0;
  if (status < 0xC0 || (status >= 0xE0 && status < 0xF0)) return 3;
  if (status < 0xE0) return 2;
  switch (status) {
    case 0xF1:
    case 0xF3: return 2;
    case 0xF2: return 3;
    case 0xF0:
    case 0xF7: return 0;  // system exclusive is not a short message
    default: return 1;
  }
}

}  // namespace

size_t Midi_wirebytes(uint32_t message, uint8_t bytes[3]) {
  bytes[0] = static_cast<uint8_t>(message & 0xFF);
  bytes[1] = static_cast<uint8_t>((message >> 8) & 0xFF);
  bytes[2] = static_cast<uint8_t>((message >> 16) & 0xFF);
  const size_t length = lengthOf(bytes[0]);
  for (size_t i = 1; i < length; ++i)
    if (bytes[i] & 0x80) return 0;
  return length;
}

}  // namespace zt
