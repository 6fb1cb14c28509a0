#pragma once
// Case and blanks of single-byte (Windows-1252) texts. Only the ASCII
// letters change case; every other byte is kept as it is, whatever the
// process's locale, so a name compares the same on every machine.
#include <string>
#include <string_view>

namespace zt {

std::string Text_upper(std::string_view text);
std::string Text_lower(std::string_view text);

// The blanks (' ', not tabs) removed at both ends, or at the start only.
std::string_view Text_strip(std::string_view text);
std::string_view Text_stripleft(std::string_view text);

}  // namespace zt
