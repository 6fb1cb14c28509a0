#pragma once
// Opening, starting and closing the console's MIDI input and output, and the
// start-up check for a Sound Blaster Live or AWE synthesiser.
#include <cstdint>

namespace zt {

// 1 when some output is a SoundFont wavetable synthesiser: the embedded one,
// or a port whose name says Live or AWE (in any case); else 0.
int Midi_findsynth();
int Midi_openin(int device);
int Midi_startin();
int Midi_closein();
void Midi_openout(int device);
void Midi_closeout();

}  // namespace zt
