#include "common/smf_bytes.h"

namespace zt {

void Smf_putvarlen(std::string& out, uint64_t value) {
  char groups[10];
  int count = 0;
  do {
    groups[count++] = static_cast<char>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 1) out += static_cast<char>(groups[--count] | 0x80);
  out += groups[0];
}

void Smf_putnumber(std::string& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace zt
