#pragma once
// The small send operations on the console's output. A failed send closes
// the console with a message naming the operation.
#include <cstdint>

namespace zt {

// Sends one short message on the console's output; the platform's result.
int Midi_send(uint32_t message);

void Midi_progchang(int program, int channel);
void Midi_pan(int value, int channel);
void Midi_message(int kind, int data1, int data2, int channel);
void Midi_notesoff();

// The pan controller value for a register's pan: 0 for -1, 64 for 0,
// 127 for +1, 0 for anything else.
int Midi_panvalue(int regPan);

}  // namespace zt
