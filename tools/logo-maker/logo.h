#pragma once
// The console's logo, "logus.bmp": 300 x 60 pixels of organ pipes and the
// letters ZT on a dark wood panel. The console colours its window with the
// logo's pixel (1,1), so the panel colour runs round the whole edge.
#include "tools/logo-maker/canvas.h"

namespace zt {

constexpr int kLogoWidth = 300;
constexpr int kLogoHeight = 60;
// Deep wood brown: the gold, grey, red and green controls and their light
// captions read well on it.
constexpr Rgb kLogoPanel{58, 32, 22};

Canvas Logo_draw();

}  // namespace zt
