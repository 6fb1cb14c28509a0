#pragma once
// The small send operations on the console's output. A failed send closes
// the console with a message naming the operation.
#include <cstdint>

namespace zt {

// Sends one short message on the console's output; the platform's result.
// While an output device change is under way every send is skipped and
// counts as done (MIDI_OK): the organist may play on while the old device
// is closed and the new one opened.
int Midi_send(uint32_t message);

// Window thread: an output device change begins (before the old output is
// closed) and ends (after the new one is open, or failed to open). From any
// thread, a send whose failure falls within a change is skipped too.
void Midi_changebegin();
void Midi_changeend();
// Whether a change is under way (sends are being skipped).
bool Midi_changing();

void Midi_progchang(int program, int channel);
void Midi_pan(int value, int channel);
void Midi_message(int kind, int data1, int data2, int channel);
void Midi_notesoff();

// The pan controller value for a register's pan: 0 for -1, 64 for 0,
// 127 for +1, 0 for anything else.
int Midi_panvalue(int regPan);

}  // namespace zt
