#include "player/reader/read_var_len.h"

namespace zt {

uint32_t ReadVarLen(std::string_view track, size_t& p) {
  const size_t end = track.size();
  if (p == 0 || p > end) {
    p = end + 1;
    return 0;
  }
  uint8_t byte = static_cast<uint8_t>(track[p - 1]);
  uint32_t value = byte & 0x7Fu;
  while (byte & 0x80u) {
    if (p >= end) {
      p = end + 1;
      return value;
    }
    ++p;
    byte = static_cast<uint8_t>(track[p - 1]);
    value = (value << 7) | (byte & 0x7Fu);
  }
  return value;
}

}  // namespace zt
