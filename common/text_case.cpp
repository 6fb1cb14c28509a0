#include "common/text_case.h"

namespace zt {

std::string Text_upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string Text_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view Text_strip(std::string_view text) {
  size_t b = text.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  size_t e = text.find_last_not_of(' ');
  return text.substr(b, e - b + 1);
}

std::string_view Text_stripleft(std::string_view text) {
  size_t b = text.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string_view() : text.substr(b);
}

}  // namespace zt
