#pragma once
// The numbers of a Standard MIDI File as its writers put them down (the
// player's reader reads them back).
#include <cstdint>
#include <string>

namespace zt {

// A variable-length quantity: 7 bits a byte, the most significant first, the
// top bit set on every byte but the last (0 is one byte, 0x80 two).
void Smf_putvarlen(std::string& out, uint64_t value);
// The low `bytes` bytes (1 to 8) of `value`, most significant first.
void Smf_putnumber(std::string& out, uint64_t value, int bytes);

}  // namespace zt
