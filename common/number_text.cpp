#include "common/number_text.h"

namespace zt {

std::string Text_str(int64_t n) { return std::string(FixedText<32>().addStr(n).view()); }

std::string Text_trim(int64_t n) { return std::string(FixedText<32>().addTrim(n).view()); }

std::string Text_print(int64_t n) { return Text_str(n) + " "; }

double Text_value(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  double value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + (text[i] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
      value += (text[i] - '0') * scale;
  }
  return negative ? -value : value;
}

int32_t Text_number(std::string_view text) { return Round_even(Text_value(text)); }

}  // namespace zt
