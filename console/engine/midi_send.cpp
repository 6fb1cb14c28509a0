#include "console/engine/midi_send.h"

#include <atomic>

#include "common/midi_message.h"
#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"
#include "console/engine/engine_platform.h"

namespace zt {

namespace {
// Counts the beginnings and ends of output device changes: odd while one is
// under way. A send that saw an even count and then failed is checked again:
// if a change began in between, the failure was the closing of the old
// device, not a fault of the output.
std::atomic<uint32_t> changeCount{0};
}  // namespace

int Midi_send(uint32_t message) {
  const uint32_t before = changeCount.load();
  if (before & 1) return MIDI_OK;
  MidiOut* out = enginePlatform.midiOut;
  if (!out) return MIDIERR_NODRIVER;
  int rc = out->send(consoleState.hMidiOut, message);
  if (rc != MIDI_OK && changeCount.load() != before) return MIDI_OK;
  return rc;
}

void Midi_changebegin() {
  if ((changeCount.load() & 1) == 0) changeCount.fetch_add(1);
}

void Midi_changeend() {
  if (changeCount.load() & 1) changeCount.fetch_add(1);
}

bool Midi_changing() { return (changeCount.load() & 1) != 0; }

void Midi_progchang(int program, int channel) {
  // A program number outside 0..127 would spill into the status byte of
  // the next message on the wire: keep it inside the data range.
  if (program < 0) program = 0;
  if (program > 127) program = 127;
  if (Midi_send(MidiMessage(kProgramChange + channel, program).word) != MIDI_OK)
    Display_failure("Errore in Midi_progchang\r\nDevice?");
}

void Midi_pan(int value, int channel) {
  if (Midi_send(MidiMessage(kControlChange + channel, kPanController, value).word) != MIDI_OK)
    Display_failure("Errore in Midi_pan");
}

void Midi_message(int kind, int data1, int data2, int channel) {
  if (Midi_send(MidiMessage(kind + channel, data1, data2).word) != MIDI_OK)
    Display_failure("Errore in Midi_message");
}

void Midi_notesoff() {
  for (int c = 0; c < 16; ++c) {
    Midi_message(kControlChange, kAllNotesOff, 0, c);
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
