#include "tests/support/audio_analysis.h"

#include <cmath>

namespace zt::test {

double Audio_rms(const std::vector<float>& samples, size_t from, size_t count) {
  if (count == 0 || from + count > samples.size()) return 0;
  double sum = 0;
  for (size_t i = from; i < from + count; ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / count);
}

double Audio_pitch(const std::vector<float>& samples, size_t from, size_t count, double rate,
                   double minHz, double maxHz) {
  if (count < 64 || from + count > samples.size() || minHz < 1 || maxHz <= minHz) return 0;
  std::vector<double> windowed(count);
  for (size_t i = 0; i < count; ++i)
    windowed[i] =
        samples[from + i] * (0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(count - 1)));
  // Magnitude at each whole frequency, by Goertzel's recurrence.
  int lo = static_cast<int>(minHz), hi = static_cast<int>(maxHz);
  std::vector<double> magnitude(hi - lo + 1);
  double strongest = 0;
  for (int f = lo; f <= hi; ++f) {
    double coefficient = 2 * std::cos(2 * M_PI * f / rate);
    double s1 = 0, s2 = 0;
    for (double x : windowed) {
      double s0 = x + coefficient * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    magnitude[f - lo] = std::sqrt(power > 0 ? power : 0);
    if (magnitude[f - lo] > strongest) strongest = magnitude[f - lo];
  }
  if (strongest <= 0) return 0;
  for (size_t i = 1; i + 1 < magnitude.size(); ++i) {
    double a = magnitude[i - 1], b = magnitude[i], c = magnitude[i + 1];
    if (b >= 0.2 * strongest && b > a && b >= c) {
      double denominator = a - 2 * b + c;
      double shift = denominator != 0 ? 0.5 * (a - c) / denominator : 0;
      return lo + double(i) + shift;
    }
  }
  return 0;
}

}  // namespace zt::test
