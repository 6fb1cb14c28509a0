#pragma once
// A short message word (MidiMessage) as the bytes an
// output port puts on the wire.
#include <cstddef>
#include <cstdint>

namespace zt {

// Writes the message's bytes, status first, and returns how many there are
// (1 to 3); returns 0 for a word that is not one complete short message: no
// status byte, system exclusive, or a data byte that would read as a status.
size_t Midi_wirebytes(uint32_t message, uint8_t bytes[3]);

}  // namespace zt
