#pragma once
// Measurements on rendered audio for the synthesiser tests.
#include <cstddef>
#include <vector>

namespace zt::test {

double Audio_rms(const std::vector<float>& samples, size_t from, size_t count);
// The fundamental frequency of a steady tone between minHz and maxHz: the
// lowest peak of the spectrum (Hann window, 1 Hz steps, refined between
// steps) that reaches a fifth of the strongest one. Organ stops carry strong
// upper partials, and their ranks beat against each other, so neither the
// strongest partial nor the autocorrelation gives the key's pitch reliably.
// 0 when there is nothing to measure.
double Audio_pitch(const std::vector<float>& samples, size_t from, size_t count, double rate,
                   double minHz, double maxHz);

}  // namespace zt::test
