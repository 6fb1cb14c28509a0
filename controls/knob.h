// The rotary knob: a shaded dial with ticks, a knob body with a red dot at
// the pointer position and the position in percent in the middle. Angles are
// bearings in degrees: 0 straight up, growing clockwise.
#pragma once

#include <string>

class QWidget;

namespace zt {

// Drawing-layer angle (radians, counter-clockwise from three o'clock) of the
// argument d = bearing - 90.
double Ctl_angle(double d);
// Filled wedge n degrees wide centred on bearing a, grey 255 - 4n, cut from
// the ellipse inscribed in (inset, inset)-(w - inset, h - inset).
void Ctl_wedge(double w, double h, double a, int n, double inset);
// The shaded red pointer dot in the box (x1, y1)-(x2, y2).
void Ctl_dot(double x1, double y1, double x2, double y2);

// `inset` is the knob body's inset from the dial's edge; the range runs from
// `lowest` to `highest` degrees and the pointer starts at `percent` of it.
void Ctl_knob(QWidget* owner, int id, int x, int y, int width, int height,
              const std::string& picture, int inset, int divisions, int lowest, int highest,
              int percent);
// Moves the pointer to a whole angle; angles outside the range are ignored.
void Ctl_knobset(QWidget* owner, int id, int angle);
// Bearing of the cursor around the knob's centre, above -180 and below 180.
float Ctl_knobangle(QWidget* owner, int id);

}  // namespace zt
