#pragma once
// One flue pipe of an organ front, as the logo and the icons draw it: a tin
// body lit from the left, the mouth, and a conical foot standing on the rack.
#include "tools/logo-maker/canvas.h"

namespace zt {

struct PipeShape {
  double x = 0, width = 0;  // left edge and width of the body
  double top = 0;           // top of the body
  double mouth = 0;         // the mouth's slot starts here
  double foot = 0;          // the foot starts here and narrows to the toe
  double rack = 0;          // the toe stands here
  double unit = 1;          // size of the small details (rim, lip, slot, toe)
};

void Pipe_draw(Canvas& c, const PipeShape& pipe);

}  // namespace zt
