#pragma once
// A small RGB canvas for drawing the console's logo without any toolkit:
// filled polygons with smoothed edges (4 x 4 samples per pixel) whose colour
// may vary across the shape, and a 24-bit BMP writer.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zt {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

// `a` and `b` mixed by `t` (0 gives a, 1 gives b; clamped), and `c` scaled.
inline Rgb Rgb_mix(Rgb a, Rgb b, double t) {
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb Rgb_scaled(Rgb c, double f) { return {c.r * f, c.g * f, c.b * f}; }

struct Point {
  double x = 0, y = 0;
};

class Canvas {
 public:
  Canvas(int width, int height, Rgb background);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }
  // The pixel as stored in the file: each component rounded and clamped.
  void bytes(int x, int y, uint8_t& r, uint8_t& g, uint8_t& b) const;

  // Fills the polygon (even-odd rule), blending each pixel by the share of it
  // the shape covers. `paint` gives the colour at a pixel centre.
  using Paint = std::function<Rgb(double x, double y)>;
  void polygon(const std::vector<Point>& corners, const Paint& paint);
  void polygon(const std::vector<Point>& corners, Rgb colour);
  void rect(double x1, double y1, double x2, double y2, const Paint& paint);
  void rect(double x1, double y1, double x2, double y2, Rgb colour);

  // The canvas as a bottom-up 24-bit BMP (BITMAPINFOHEADER, no palette).
  std::vector<uint8_t> bmp() const;
  bool save(const std::string& path) const;

 private:
  int width_, height_;
  std::vector<Rgb> pixels_;
};

}  // namespace zt
