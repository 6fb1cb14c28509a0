#include "console/engine/number_text.h"

#include <cmath>
#include <limits>

namespace zt {

std::string Text_str(int64_t n) { return std::string(FixedText<32>().addStr(n).view()); }

std::string Text_trim(int64_t n) { return std::string(FixedText<32>().addTrim(n).view()); }

std::string Text_hex(uint64_t n) { return std::string(FixedText<32>().addHex(n).view()); }

double Text_value(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  double value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10) value += (text[i] - '0') * scale;
  }
  return negative ? -value : value;
}

int32_t Round_even(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(std::nearbyint(v));
}

int32_t Text_number(std::string_view text) { return Round_even(Text_value(text)); }

}  // namespace zt
