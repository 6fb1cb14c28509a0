#include "tools/sound-check/audio_measure.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace zt {

namespace {

constexpr size_t kWindow = 4096;
constexpr double kLowHz = 30, kHighHz = 12000;

// In-place radix-2 transform of a power-of-two length.
void fft(std::vector<std::complex<double>>& x) {
  const size_t n = x.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> step = std::polar(1.0, -2 * M_PI / double(len));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w = 1;
      for (size_t k = 0; k < len / 2; ++k, w *= step) {
        const std::complex<double> a = x[i + k], b = x[i + k + len / 2] * w;
        x[i + k] = a + b;
        x[i + k + len / 2] = a - b;
      }
    }
  }
}

void spectrumOf(const float* samples, size_t frames, double rate, std::vector<double>& out) {
  const size_t low = static_cast<size_t>(kLowHz * kWindow / rate);
  const size_t high = std::min(kWindow / 2, static_cast<size_t>(kHighHz * kWindow / rate));
  std::vector<double> sum(high - low, 0.0);
  std::vector<std::complex<double>> x(kWindow);
  size_t count = 0;
  for (size_t start = 0; start + kWindow <= frames; start += kWindow / 2, ++count) {
    for (size_t i = 0; i < kWindow; ++i)
      x[i] = samples[start + i] * (0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(kWindow)));
    fft(x);
    for (size_t b = low; b < high; ++b) sum[b - low] += std::norm(x[b]);
  }
  for (double& v : sum) out.push_back(count ? v / double(count) : 0.0);
}

}  // namespace

double Audio_db(double level) { return level > 1e-10 ? 20 * std::log10(level) : -200; }

AudioLevels Audio_levels(const float* left, const float* right, size_t frames) {
  AudioLevels out;
  double peak = 0, sumL = 0, sumR = 0;
  for (size_t i = 0; i < frames; ++i) {
    const double l = left[i], r = right[i];
    peak = std::max({peak, std::fabs(l), std::fabs(r)});
    if (std::fabs(l) >= 1.0) ++out.fullScale;
    if (std::fabs(r) >= 1.0) ++out.fullScale;
    sumL += l * l;
    sumR += r * r;
  }
  if (frames == 0) return out;
  out.peakDb = Audio_db(peak);
  out.leftDb = Audio_db(std::sqrt(sumL / double(frames)));
  out.rightDb = Audio_db(std::sqrt(sumR / double(frames)));
  out.position = sumL + sumR > 0 ? (sumR - sumL) / (sumR + sumL) : 0;
  return out;
}

std::vector<double> Audio_spectrum(const float* left, const float* right, size_t frames,
                                   double rate) {
  std::vector<double> out;
  spectrumOf(left, frames, rate, out);
  spectrumOf(right, frames, rate, out);
  return out;
}

std::vector<double> Audio_fit(const std::vector<double>& whole,
                              const std::vector<std::vector<double>>& parts) {
  const size_t n = parts.size();
  // The normal equations, solved for non-negative weights coordinate by
  // coordinate (a handful of parts: this converges in a few hundred sweeps).
  std::vector<double> gram(n * n, 0.0), target(n, 0.0), weight(n, 0.0);
  for (size_t a = 0; a < n; ++a) {
    const size_t bins = std::min(parts[a].size(), whole.size());
    for (size_t i = 0; i < bins; ++i) target[a] += parts[a][i] * whole[i];
    for (size_t b = 0; b < n; ++b) {
      const size_t common = std::min(bins, parts[b].size());
      double sum = 0;
      for (size_t i = 0; i < common; ++i) sum += parts[a][i] * parts[b][i];
      gram[a * n + b] = sum;
    }
  }
  for (int sweep = 0; sweep < 500; ++sweep) {
    for (size_t a = 0; a < n; ++a) {
      if (gram[a * n + a] <= 0) continue;
      double rest = target[a];
      for (size_t b = 0; b < n; ++b)
        if (b != a) rest -= gram[a * n + b] * weight[b];
      weight[a] = std::max(0.0, rest / gram[a * n + a]);
    }
  }
  return weight;
}

std::vector<PartFit> Audio_fitparts(const std::vector<double>& whole,
                                    const std::vector<std::vector<double>>& parts) {
  const std::vector<double> weights = Audio_fit(whole, parts);
  size_t bins = whole.size();
  for (const auto& part : parts) bins = std::min(bins, part.size());
  std::vector<double> total(bins, 0.0);
  for (const auto& part : parts)
    for (size_t b = 0; b < bins; ++b) total[b] += part[b];

  std::vector<PartFit> out(parts.size());
  for (size_t k = 0; k < parts.size(); ++k) {
    const std::vector<double>& own = parts[k];
    const double strongest = *std::max_element(own.begin(), own.begin() + bins);
    double energy = 0, distinctEnergy = 0, heard = 0, expected = 0;
    for (size_t b = 0; b < bins; ++b) {
      energy += own[b];
      const double others = total[b] - own[b];
      if (own[b] < 10 * others || own[b] < 1e-3 * strongest) continue;
      distinctEnergy += own[b];
      heard += whole[b];
      expected += total[b];
    }
    out[k].distinct = energy > 0 && distinctEnergy >= 0.01 * energy && expected > 0;
    out[k].level = out[k].distinct ? std::sqrt(heard / expected) : std::sqrt(weights[k]);
  }
  return out;
}

}  // namespace zt
