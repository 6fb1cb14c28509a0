#pragma once
// The two on-screen keyboards of the console window (displays 100 and 101):
// six octaves of keys from C, key k = 1..72 sounding MIDI note k + 23. Each
// display is a graphic area that notifies clicks and keeps its pixels in a
// persistent image; drawing only changes that image and asks for a repaint.
// Everything here runs on the window thread.
#include <QImage>
#include <QRect>

#include "controls/colour.h"
#include "controls/control_widget.h"

namespace zt {

// Natural key colours (0x00BBGGRR).
extern Colour whiteKeyColor;  // RGB(255,255,210)
extern Colour blackKeyColor;  // RGB(55,55,50)
// 1: every key drawn singly also shows its letter name. Starts at 0.
extern int noteNamesOn;
// The pixels of the first complete drawing of a display, kept for the run;
// null until then. Every later complete drawing is a copy of it.
extern QImage keyboardImage;

constexpr int kKeys = 72;
constexpr int kWhiteKeys = 42;

// Creates keyboard display `id` as a child of `window` (the console's main
// window) at `rect` in the window's client coordinates. Clicks on it reach the
// window's control command function, like those of the custom controls. The
// display is then found by its id alone.
ControlWidget* Keyboard_create(QWidget* window, int id, QRect rect);
// The display created last with this id, or nullptr.
ControlWidget* Keyboard_display(int id);

// colour -1: the whole display in natural colours (k unused); colour >= 0:
// key k filled with that colour; colour below -1: key k in its natural
// colour. Then the display is refreshed. Unknown displays draw nothing.
void Keyboard_draw(int display, int k, int32_t colour);
// Draws key k (1..72) alone; a negative colour means the natural one. Keys
// outside 1..72 draw nothing.
void Key_draw(int display, int k, int32_t colour);
// The key under the mouse pointer, read through the input state: 1..72 over
// the display, 0 beside the white keys; other values are possible when the
// pointer is outside the display. 0 for an unknown display.
int Key_at(int display);

// Forgets the cached complete drawing and the natural-colour settings, as at
// start-up (tests, and a console window built a second time).
void Keyboard_reset();

// Geometry shared by drawing and tests.
bool Key_isblack(int k);
// White keys to the left of key k's own white key (or, for a black key, of
// the white key to its left).
int Key_whiteposition(int k);

}  // namespace zt
