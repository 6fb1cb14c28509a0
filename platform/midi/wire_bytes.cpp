#include "platform/midi/wire_bytes.h"

#include "common/midi_message.h"

namespace zt {

namespace {

// Bytes of a short message with this status; 0 for what cannot be sent as one.
size_t lengthOf(int status) {
  if (status < kNoteOff) return 0;
  if (status < kProgramChange || (status >= kPitchBend && status < kSystem)) return 3;
  if (status < kPitchBend) return 2;
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
  const MidiMessage m(message);
  bytes[0] = static_cast<uint8_t>(m.status());
  bytes[1] = static_cast<uint8_t>(m.data1());
  bytes[2] = static_cast<uint8_t>(m.data2());
  const size_t length = lengthOf(m.status());
  for (size_t i = 1; i < length; ++i)
    if (bytes[i] & 0x80) return 0;
  return length;
}

}  // namespace zt
