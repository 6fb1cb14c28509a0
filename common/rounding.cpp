#include "common/rounding.h"

#include <cmath>
#include <limits>

namespace zt {

int32_t Round_even(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  // The default floating-point rounding mode is to nearest, ties to even.
  return static_cast<int32_t>(std::nearbyint(v));
}

}  // namespace zt
