#pragma once
// How a register's controls show the console state: each call asks the
// display for one control's caption and level from the register's current
// values. Used wherever a register changes (commands, presets, the program
// list, the soundfont report). Window thread.
namespace zt {

// Register button: the label, level 100 when drawn, 0 when not.
void Show_register(int r);
// Pan switch: Pan_text of the pan, level 100.
void Show_pan(int r);
// Shift bar: the shift, level (12 + shift) x 100 / 24.
void Show_shift(int r);
// Volume bar: volume x 100 div 255, level volume x 100 / 255.
void Show_volume(int r);
// Multi-note stepper: the interval, at `level`.
void Show_multi(int r, double level);

// The pan switch's caption: "S", "=", "D", empty for any other value.
const char* Pan_text(int pan);

}  // namespace zt
