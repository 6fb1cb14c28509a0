#pragma once
// A MIDI short message as one 32-bit word, the form in which the console's
// outputs take it, its inputs deliver it and the player sends it over the
// link: status + 256 x data 1 + 65536 x data 2, the status byte lowest. A
// status is a kind (its high four bits) plus a channel 0..15 (its low four).
#include <cstddef>
#include <cstdint>

namespace zt {

// Kinds of message: a status byte without its channel.
inline constexpr int kNoteOff = 0x80;
inline constexpr int kNoteOn = 0x90;
inline constexpr int kKeyPressure = 0xA0;
inline constexpr int kControlChange = 0xB0;
inline constexpr int kProgramChange = 0xC0;
inline constexpr int kChannelPressure = 0xD0;
inline constexpr int kPitchBend = 0xE0;
inline constexpr int kSystem = 0xF0;  // 0xF0..0xFF: system and real-time messages

// Controllers the programs send or act on.
inline constexpr int kPanController = 10;
inline constexpr int kAllSoundOff = 120;
inline constexpr int kAllNotesOff = 123;

struct MidiMessage {
  uint32_t word = 0;

  constexpr MidiMessage() = default;
  constexpr explicit MidiMessage(uint32_t packed) : word(packed) {}
  // status + 256 x data1 + 65536 x data2, summed as written: nothing is
  // masked, so a caller that may hold a value outside 0..127 limits it first.
  constexpr MidiMessage(int status, int data1, int data2 = 0)
      : word(static_cast<uint32_t>(status + 256 * data1 + 65536 * data2)) {}
  // The message a port delivered as `size` bytes (1 to 3), status first.
  static constexpr MidiMessage fromBytes(const uint8_t* bytes, size_t size) {
    uint32_t packed = size > 0 ? bytes[0] : 0;
    if (size > 1) packed |= static_cast<uint32_t>(bytes[1]) << 8;
    if (size > 2) packed |= static_cast<uint32_t>(bytes[2]) << 16;
    return MidiMessage(packed);
  }

  constexpr int status() const { return static_cast<int>(word & 0xFF); }
  constexpr int kind() const { return status() & 0xF0; }
  constexpr int channel() const { return status() & 0x0F; }
  constexpr int data1() const { return static_cast<int>((word >> 8) & 0xFF); }
  constexpr int data2() const { return static_cast<int>((word >> 16) & 0xFF); }
  // Whether the word holds a status byte (a data byte stands where it belongs
  // otherwise).
  constexpr bool hasStatus() const { return status() >= kNoteOff; }
  // A channel message, 0x80..0xEF.
  constexpr bool isChannel() const { return hasStatus() && status() < kSystem; }
  // A key going down: a note on with a velocity.
  constexpr bool isNoteOn() const { return kind() == kNoteOn && data2() != 0; }
  // A key going up: a note off, or a note on at velocity 0.
  constexpr bool isRelease() const {
    return kind() == kNoteOff || (kind() == kNoteOn && data2() == 0);
  }
  constexpr bool isController(int number) const {
    return kind() == kControlChange && data1() == number;
  }
  constexpr bool operator==(const MidiMessage&) const = default;
};

}  // namespace zt
