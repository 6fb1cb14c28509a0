// Tooltips for any control, custom or standard: one tip per control, a
// second one replaces the first.
#pragma once

#include <string>

class QWidget;

namespace zt {

// Long tips wrap at 200 pixels.
void Tip_set(QWidget* control, const std::string& text);

}  // namespace zt
