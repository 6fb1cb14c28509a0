#pragma once
// Numbers as the programs print them: decimal, a blank before a value of 0
// or more and "-" before a negative one, no trailing blank.
#include <cstdint>
#include <string>

namespace zt {

std::string NumberText(int64_t value);

}  // namespace zt
