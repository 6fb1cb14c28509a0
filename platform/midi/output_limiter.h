#pragma once
// A peak limiter on the embedded synthesiser's stereo output, so that no
// sample leaves at or above the ceiling however many voices sound together
// (a full organ chord adds up to far more than full scale).
//
// The gain follows the louder side's peak envelope: it falls at once when a
// peak would pass the ceiling (the envelope is never below the sample it
// scales, so the output never passes it) and recovers with the envelope's
// release. A steady chord is thus turned down evenly rather than clipped;
// only the first samples of a sudden overload are shaped. No look-ahead, so
// it adds no latency. Allocation-free: it runs on the audio thread.
namespace zt {

class OutputLimiter {
 public:
  // -1 dBFS: room for the small overshoot of a converter's reconstruction.
  static constexpr float kCeiling = 0.891f;
  static constexpr double kReleaseSeconds = 0.25;

  explicit OutputLimiter(double sampleRate = 48000.0);
  // Scales the stereo frames in place.
  void process(float* left, float* right, int frames);
  // The gain applied to the last frame (1 when nothing was limited).
  float gain() const;

 private:
  float decay_;
  float envelope_ = 0;
};

}  // namespace zt
