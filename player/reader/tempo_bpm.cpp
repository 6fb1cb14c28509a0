#include "player/reader/tempo_bpm.h"

namespace zt {

int32_t BpmFromMicroseconds(uint32_t microsecondsPerQuarter) {
  const uint64_t minute = 60000000;
  const uint64_t us = microsecondsPerQuarter;
  uint64_t bpm = minute / us;
  const uint64_t twiceRest = 2 * (minute % us);
  if (twiceRest > us || (twiceRest == us && (bpm & 1u))) ++bpm;
  return static_cast<int32_t>(bpm);
}

}  // namespace zt
