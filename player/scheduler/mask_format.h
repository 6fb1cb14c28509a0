#pragma once
// Numbers written through a display mask, as the progress display shows
// them. No allocation: the result is a fixed text, filled on the tick.
#include <string_view>

#include "common/number_text.h"

namespace zt {

using MaskText = FixedText<64>;

// Writes `value` through `mask`, appending to `out`:
// - a run of "#", optionally followed by "." and more "#", is the number
//   field: the "#" before the point are integer places, filled with blanks on
//   the left; the "#" after it are the decimals, rounded halves to even;
// - a number with more integer digits than places widens the field;
// - "_" makes the next character literal;
// - every other character, the digit 0 included, is copied unchanged.
// So "000#.# s " shows 5.24 as "0005.2 s " and " ###.#_% " shows 43.25 as
// "  43.2% ". A mask without a field copies its characters only.
void Mask_format(MaskText& out, double value, std::string_view mask);

}  // namespace zt
