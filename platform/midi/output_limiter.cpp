#include "platform/midi/output_limiter.h"

#include <cmath>

namespace zt {

OutputLimiter::OutputLimiter(double sampleRate)
    : decay_(static_cast<float>(std::exp(-1.0 / (kReleaseSeconds * sampleRate)))) {}

void OutputLimiter::process(float* left, float* right, int frames) {
  for (int i = 0; i < frames; ++i) {
    const float peak = std::fmax(std::fabs(left[i]), std::fabs(right[i]));
    envelope_ = peak > envelope_ ? peak : envelope_ * decay_;
    if (envelope_ > kCeiling) {
      const float gain = kCeiling / envelope_;
      left[i] *= gain;
      right[i] *= gain;
    }
  }
}

float OutputLimiter::gain() const { return envelope_ > kCeiling ? kCeiling / envelope_ : 1.0f; }

}  // namespace zt
