#pragma once
// The console's commands on the register table. Each changes the console
// state at once; the next key pressed plays with the new values. Only the
// commands that say so send MIDI. All run on the window thread.
#include <string_view>

namespace zt {

void Reg_volumesfull();  // every volume 255
void Reg_resetshift();   // every shift 0; nothing sent
void Reg_resetmulti();   // every multi interval 0
void Reg_alloff();       // every register off, then all notes off
void Reg_allon();        // every register on, then all notes off
void Reg_fromtable();    // label r = programName(r - 1), stored program number too
void Reg_toggle(int r);
void Reg_pancycle(int r);  // 0 -> +1, 1 or more -> -1, -1 -> 0
// Shift from a bar position (0..100, negative left of the bar): all notes
// off first, then the shift. Returns the new shift.
int Reg_shiftset(int r, double barValue);
// Multi interval one step down (direction < 0, while above 0) or up
// (direction > 0, while below 12). Returns the new interval.
int Reg_multistep(int r, int direction);
// Volume from a bar position (0..100). Returns the new volume.
int Reg_volumeset(int r, double barValue);
// Every volume from the master knob's percentage (0..100).
void Reg_mastervolume(double percent);
// The stored program number one step up (direction > 0, while below 127) or
// down (direction < 0, while above 1); the label becomes programName(p).
// Returns the new stored number.
int Reg_programstep(int r, int direction);
// Plays register r alone on the output channel: its program and pan, then
// the audition's note patterns.
void Reg_audition(int r);
// Plays one of the audition's note patterns ("63,65,44") one after the
// other ("seriale") or together ("parallelo").
void Midi_audition(std::string_view notes, std::string_view mode);
// A click on key k of an on-screen keyboard.
void Key_play(int k, int keyboard);

// The conversions between bar and knob positions and register values.
int Shift_frombar(double barValue);   // 24 * v / 100 - 12, halves to even, -12..12
int Volume_frombar(double barValue);  // v * 2.55 (single precision), halves to even, 0..255
double Volume_tobar(int volume);      // volume / 2.55 (single precision): the knob's scale

}  // namespace zt
