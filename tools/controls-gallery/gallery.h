// Builds the gallery: every control family of the library in a few states.
#pragma once

class QWidget;

namespace zt {

// Fills `window` (which should be about 1000 x 700) with controls.
void Gallery_build(QWidget* window);

}  // namespace zt
