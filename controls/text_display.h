// The green-screen text display: one line of text in a bold fixed-pitch font
// with a dark shadow over a cached bevelled screen.
#pragma once

#include "controls/colour.h"

#include <string>

class QWidget;

namespace zt {

// Creates the display; `width` and `height` come back as the client size in
// pixels. `scale` is the font size in points times 1.5.
void Ctl_display(QWidget* owner, int id, int x, int y, int& width, int& height,
                 const std::string& picture, int bevel, const std::string& frameStyle, float value,
                 int scale, const std::string& caption, Colour textColor, const std::string& kind,
                 const std::string& faceStyle, int faceMode);
// Shows a text ("<" left-aligns, ">" right-aligns); an empty text clears the
// display to its screen.
void Ctl_displayset(QWidget* owner, int id, const std::string& text);

}  // namespace zt
