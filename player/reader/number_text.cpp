#include "player/reader/number_text.h"

namespace zt {

std::string NumberText(int64_t value) {
  std::string digits = std::to_string(value);
  if (value >= 0) digits.insert(digits.begin(), ' ');
  return digits;
}

}  // namespace zt
