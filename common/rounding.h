#pragma once
// Real numbers to whole numbers as every stored value is rounded.
#include <cstdint>

namespace zt {

// The nearest integer, halves to even (2.5 gives 2, 3.5 gives 4, -2.5 gives
// -2). Values beyond the 32-bit range saturate at its limits; NaN gives 0.
int32_t Round_even(double v);

}  // namespace zt
