#include "console/engine/midi_send.h"

#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"
#include "console/engine/engine_platform.h"

namespace zt {

int Midi_send(uint32_t message) {
  MidiOut* out = enginePlatform.midiOut;
  if (!out) return MIDIERR_NODRIVER;
  return out->send(consoleState.hMidiOut, message);
}

void Midi_progchang(int program, int channel) {
  // A program number outside 0..127 would spill into the status byte of
  // the next message on the wire: keep it inside the data range.
  if (program < 0) program = 0;
  if (program > 127) program = 127;
  if (Midi_send(0xC0 + channel + 256 * program) != MIDI_OK) Display_failure("Errore in Midi_progchang\r\nDevice?");
}

void Midi_pan(int value, int channel) {
  if (Midi_send(0xB0 + channel + 256 * 10 + 65536 * value) != MIDI_OK) Display_failure("Errore in Midi_pan");
}

void Midi_message(int kind, int data1, int data2, int channel) {
  if (Midi_send(kind + channel + 256 * data1 + 65536 * data2) != MIDI_OK) Display_failure("Errore in Midi_message");
}

void Midi_notesoff() {
  for (int c = 0; c < 16; ++c) {
    Midi_message(176, 123, 0, c);
    Display_indicator(c, kLampOff);
  }
  Display_keyboard(kKeyboardUpper, 0, kColourAllKeys);
  Display_keyboard(kKeyboardLower, 0, kColourAllKeys);
}

int Midi_panvalue(int regPan) {
  switch (regPan) {
    case -1: return 0;
    case 0: return 64;
    case 1: return 127;
    default: return 0;
  }
}

}  // namespace zt
