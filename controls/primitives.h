// The drawing routines shared by the control families: colour ramps, bevel,
// frame, face fills, disc and caption. They draw on the current target of the
// drawing layer, whose client size is w by h.
#pragma once

#include "controls/colour.h"

#include <string>

class QWidget;

namespace zt {

// Colour of ramp `name` at shade k (0 brightest, except "pulsanteblu").
// Unknown names give black.
Colour Ctl_framecolor(const std::string& name, int k);
// Lamp colour of ramp `name` for step s, ring i and intensity v.
Colour Ctl_lampcolor(const std::string& name, int s, int i, float v);

// Raised bevel of width b (nothing below 1).
void Ctl_bevel(int b, const std::string& name);
// b nested hollow rectangles.
void Ctl_frame(int b, const std::string& name);
// Fills the face inside a bevel of width b, modes 0 to 6; other modes draw
// nothing. Mode 6 stretches the picture in slot 2 of the control.
void Ctl_face(QWidget* owner, int id, int b, const std::string& name, int mode);
// The screen face of the text display and of face mode 3: steps + 1 filled
// boxes, each one pixel further in from the bevel of width b, shaded along
// ramp `name` or, when no ramp is named, from black towards screen green.
void Ctl_screen(int b, int steps, const std::string& name);
// Filled disc of radius r around (cx, cy).
void Ctl_disc(double cx, double cy, double r, Colour colour);

// Centred position of a text in the current font.
int Ctl_textx(const std::string& text);
int Ctl_texty(const std::string& text);
// Prints a caption centred; a leading "<" aligns it left, ">" right. A shadow
// colour above 0 draws a copy two pixels down and right first.
void Ctl_caption(const std::string& text, Colour colour, Colour shadow);

}  // namespace zt
