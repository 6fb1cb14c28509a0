#include "platform/midi/fluid_setup.h"

#include <cstdlib>

namespace zt {

std::string Fluid_soundfont() {
  const char* chosen = std::getenv("ZT_SOUNDFONT");
  return chosen && *chosen ? chosen : "/usr/share/sounds/sf2/default-GM.sf2";
}

FluidQuiet::FluidQuiet() {
  for (int level = 0; level < kLevels; ++level)
    before_[level] = fluid_set_log_function(level, keep, this);
}

FluidQuiet::~FluidQuiet() {
  for (int level = 0; level < kLevels; ++level)
    fluid_set_log_function(level, before_[level], nullptr);
}

void FluidQuiet::keep(int level, const char* message, void* data) {
  auto* self = static_cast<FluidQuiet*>(data);
  if ((level == FLUID_PANIC || level == FLUID_ERR) && self->firstError_.empty() && message)
    self->firstError_ = message;
}

}  // namespace zt
