#pragma once
// Measurements of recorded stereo audio: levels in dBFS, where a sound sits
// between left and right, and how much of each of several sounds heard alone
// a mixture holds.
//
// A mixture is compared with its parts through their power spectra rather
// than their waveforms: recordings made one after another start at
// different points of the audio period, so their waveforms never line up,
// while the power of sounds that do not cancel adds up bin by bin.
#include <cstddef>
#include <vector>

namespace zt {

struct AudioLevels {
  double peakDb = -200;  // the largest sample of either side
  double leftDb = -200;  // RMS of each side
  double rightDb = -200;
  double position = 0;  // -1 all left, 0 centre, +1 all right (by power)
  long fullScale = 0;   // samples at or beyond full scale
};

// dBFS of a linear level (-200 for silence).
double Audio_db(double level);

AudioLevels Audio_levels(const float* left, const float* right, size_t frames);

// The average power spectrum of both sides (a Hann window of 4096 frames,
// half overlapping), left bins then right bins, from 30 Hz to 12 kHz.
std::vector<double> Audio_spectrum(const float* left, const float* right, size_t frames,
                                   double rate);

// Non-negative weights w, one per part, that make sum w[k] * parts[k] come
// closest to `whole` (least squares). A part heard in the mixture at the
// level it has alone has weight 1 (its amplitude is the square root).
std::vector<double> Audio_fit(const std::vector<double>& whole,
                              const std::vector<std::vector<double>>& parts);

// How loud each part is in the mixture against alone (1: as loud, as an
// amplitude). Voices of one sample started together keep their phases, so
// an octave's partials can add or cancel where they meet another register's
// and powers do not add there: each part is judged on its own partials
// where it has them (bins where it is 10 dB above all the others together,
// at least 1 % of its energy), from the whole least-squares fit otherwise
// (`distinct` false).
struct PartFit {
  double level = 0;
  bool distinct = false;
};
std::vector<PartFit> Audio_fitparts(const std::vector<double>& whole,
                                    const std::vector<std::vector<double>>& parts);

}  // namespace zt
