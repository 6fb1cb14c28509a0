#pragma once
// Tempo of a set-tempo event in beats per minute.
#include <cstdint>

namespace zt {

// 60 000 000 / microsecondsPerQuarter rounded to the nearest integer, halves
// to even. microsecondsPerQuarter must not be 0.
int32_t BpmFromMicroseconds(uint32_t microsecondsPerQuarter);

}  // namespace zt
