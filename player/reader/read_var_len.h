#pragma once
// Variable-length quantities of MIDI files (7 bits a byte, top bit set on
// every byte but the last).
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zt {

// Reads one variable-length quantity from `track` starting at the 1-based
// position `p` and leaves `p` on the last byte it consumed. Any number of
// bytes is accepted; the value keeps its low 32 bits. If the quantity runs
// past the end of `track` (or `p` starts past it), `p` is left at
// track.size() + 1 and the bits gathered so far are returned: callers end
// the track there.
uint32_t ReadVarLen(std::string_view track, size_t& p);

}  // namespace zt
