#pragma once
// The programs' icons, square, drawn at any size from the logo's parts: a
// front of organ pipes on the logo's dark wood panel with its gold inlay, in
// a square with rounded corners. The player's icon adds a play sign.
#include "tools/logo-maker/canvas.h"

namespace zt {

enum class IconKind { console, player };

struct Icon {
  Canvas colour;  // the picture, as if the whole square were opaque
  Canvas cover;   // its opacity: red 0 (transparent) to 255 (opaque)
};

// `size` is the edge in pixels (16 or more).
Icon Icon_draw(IconKind kind, int size);

}  // namespace zt
