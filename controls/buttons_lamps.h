// Two-state buttons, rectangular lamps and round lamps.
#pragma once

#include "controls/colour.h"

#include <string>

class QWidget;

namespace zt {

// A button at rest (slot 1 = 0). The caption "off/on" shows its first part at
// rest and its second part while on.
void Ctl_button(QWidget* owner, int id, int x, int y, int width, int height,
                const std::string& picture, int bevel, const std::string& frameStyle,
                const std::string& caption, Colour textColor, const std::string& faceStyle,
                int faceMode, int onFaceMode);
// Switches the button to its other state and draws it; an empty caption uses
// the stored one.
void Ctl_buttonflip(QWidget* owner, int id, const std::string& caption);

// Rectangular lamp (kind "ledr") in a lamp ramp; brightness follows the
// intensity. A caption given to the update is drawn but not stored.
void Ctl_lamp(QWidget* owner, int id, int x, int y, int width, int height,
              const std::string& picture, int bevel, const std::string& frameStyle, float intensity,
              const std::string& faceStyle, const std::string& caption, Colour textColor);
void Ctl_lampset(QWidget* owner, int id, float intensity, const std::string& caption);

// Round lamp: a grey ring of width `bevel` around a lit disc. The picture and
// frame style are accepted to match Ctl_lamp and not used.
void Ctl_roundlamp(QWidget* owner, int id, int x, int y, int width, int height,
                   const std::string& picture, int bevel, const std::string& frameStyle,
                   float intensity, const std::string& faceStyle, const std::string& caption,
                   Colour textColor);
void Ctl_roundlampset(QWidget* owner, int id, float intensity, const std::string& caption);

}  // namespace zt
