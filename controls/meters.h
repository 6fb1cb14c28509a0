// Meters (bars, segments and needles, horizontal and vertical) and the green
// text display. Both draw their static background once, keep it in the
// background cache and repaint only what moves.
#pragma once

#include "controls/colour.h"

#include <string>

class QWidget;

namespace zt {

void Ctl_meter(QWidget* owner, int id, int x, int y, int width, int height,
               const std::string& picture, int bevel, const std::string& frameStyle, float value,
               int scale, const std::string& caption, Colour textColor, const std::string& kind,
               const std::string& faceStyle, int faceMode);
// A negative value keeps the stored one; an empty caption keeps the stored
// caption, any other replaces it.
void Ctl_meterset(QWidget* owner, int id, float value, const std::string& caption);
// Draws the meter from its record with the given caption (or format).
void Ctl_meterdraw(QWidget* owner, int id, const std::string& caption);
// The text a caption format shows: "%" the value as a whole percentage, "!"
// the value scaled to `scale`; any other caption unchanged.
std::string Ctl_meterformat(const std::string& caption, float value, int scale);

}  // namespace zt
