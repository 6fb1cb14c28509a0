#include "common/dialog_units.h"

#include "common/rounding.h"

namespace zt {

int Dialog_x(int units) { return Round_even(units * 1.5); }

int Dialog_y(int units) { return Round_even(units * 1.625); }

}  // namespace zt
