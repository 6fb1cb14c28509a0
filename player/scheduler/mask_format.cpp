#include "player/scheduler/mask_format.h"

#include <cmath>
#include <cstdint>

namespace zt {

namespace {

// Appends `value` with `decimals` decimals (halves to even), right-aligned in
// `places` integer places filled with blanks; wider numbers widen the field.
void addField(MaskText& out, double value, int places, int decimals) {
  if (!std::isfinite(value)) value = 0;
  double scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  // nearbyint rounds halves to even in the default rounding mode. Beyond
  // 2^62 units the number is not worth showing exactly: it is held there.
  double units = std::nearbyint(value * scale);
  constexpr double kLimit = 4.6e18;
  if (units > kLimit) units = kLimit;
  if (units < -kLimit) units = -kLimit;
  const bool negative = units < 0;
  uint64_t magnitude = static_cast<uint64_t>(negative ? -units : units);

  // Digits from the right: decimals, then at least one integer digit.
  char digits[32];
  int count = 0;
  for (int i = 0; i < decimals; ++i) {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  int integerDigits = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
    ++integerDigits;
  } while (magnitude != 0);

  const int width = integerDigits + (negative ? 1 : 0);
  for (int i = width; i < places; ++i) out.add(" ");
  if (negative) out.add("-");
  char one[2] = {0, 0};
  for (int i = count - 1; i >= 0; --i) {
    one[0] = digits[i];
    out.add(one);
    if (i == decimals && decimals > 0) out.add(".");
  }
}

}  // namespace

void Mask_format(MaskText& out, double value, std::string_view mask) {
  char one[2] = {0, 0};
  size_t i = 0;
  while (i < mask.size()) {
    const char c = mask[i];
    if (c == '_') {
      if (i + 1 < mask.size()) {
        one[0] = mask[i + 1];
        out.add(one);
      }
      i += 2;
    } else if (c == '#') {
      int places = 0;
      while (i < mask.size() && mask[i] == '#') {
        ++places;
        ++i;
      }
      int decimals = 0;
      if (i + 1 < mask.size() && mask[i] == '.' && mask[i + 1] == '#') {
        ++i;
        while (i < mask.size() && mask[i] == '#') {
          ++decimals;
          ++i;
        }
      }
      addField(out, value, places, decimals);
    } else {
      one[0] = c;
      out.add(one);
      ++i;
    }
  }
}

}  // namespace zt
