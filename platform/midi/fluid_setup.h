#pragma once
// What every user of FluidSynth here shares: the SoundFont the embedded
// synthesiser loads, and FluidSynth's log kept off the terminal.
#include <fluidsynth.h>

#include <string>

namespace zt {

// The SoundFont the embedded synthesiser loads: $ZT_SOUNDFONT when set, else
// the system's General MIDI SoundFont.
std::string Fluid_soundfont();

// While one lives, FluidSynth's log lines are not printed: the first error
// (or panic) is kept, so that a failure can be told in a line of the
// program's own with the library's reason, and the rest are dropped. The
// handlers there were before come back at its end, so they nest. FluidSynth's
// handlers are process-wide: make one only on the thread that is setting
// FluidSynth up.
class FluidQuiet {
 public:
  FluidQuiet();
  ~FluidQuiet();
  FluidQuiet(const FluidQuiet&) = delete;
  FluidQuiet& operator=(const FluidQuiet&) = delete;

  // The first error, or empty.
  const std::string& firstError() const { return firstError_; }

 private:
  static void keep(int level, const char* message, void* data);
  static constexpr int kLevels = FLUID_DBG + 1;
  fluid_log_function_t before_[kLevels] = {};
  std::string firstError_;
};

}  // namespace zt
