#include "tools/logo-maker/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zt {

namespace {

constexpr int kSamples = 4;  // per axis, per pixel

uint8_t component(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// Crossings of the horizontal line at y with the polygon's edges.
void crossings(const std::vector<Point>& c, double y, std::vector<double>& xs) {
  xs.clear();
  for (size_t i = 0; i < c.size(); ++i) {
    const Point& a = c[i];
    const Point& b = c[(i + 1) % c.size()];
    if ((a.y <= y && b.y > y) || (b.y <= y && a.y > y))
      xs.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
  }
  std::sort(xs.begin(), xs.end());
}

}  // namespace

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), pixels_(size_t(width) * size_t(height), background) {}

void Canvas::bytes(int x, int y, uint8_t& r, uint8_t& g, uint8_t& b) const {
  const Rgb p = at(x, y);
  r = component(p.r);
  g = component(p.g);
  b = component(p.b);
}

void Canvas::polygon(const std::vector<Point>& corners, const Paint& paint) {
  if (corners.size() < 3) return;
  double top = corners[0].y, bottom = corners[0].y;
  for (const Point& p : corners) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  const int y0 = std::max(0, int(std::floor(top)));
  const int y1 = std::min(height_ - 1, int(std::ceil(bottom)));
  std::vector<double> xs;
  std::vector<int> cover(static_cast<size_t>(width_));
  for (int y = y0; y <= y1; ++y) {
    std::fill(cover.begin(), cover.end(), 0);
    for (int s = 0; s < kSamples; ++s) {
      crossings(corners, y + (s + 0.5) / kSamples, xs);
      for (size_t i = 0; i + 1 < xs.size(); i += 2) {
        // Sample columns whose centre lies inside [xs[i], xs[i+1]).
        const long from = std::lround(std::ceil(xs[i] * kSamples - 0.5));
        const long to = std::lround(std::ceil(xs[i + 1] * kSamples - 0.5));
        for (long sx = std::max(0L, from); sx < std::min(long(width_) * kSamples, to); ++sx)
          ++cover[size_t(sx / kSamples)];
      }
    }
    for (int x = 0; x < width_; ++x) {
      if (!cover[size_t(x)]) continue;
      const double a = double(cover[size_t(x)]) / (kSamples * kSamples);
      const Rgb c = paint(x + 0.5, y + 0.5);
      Rgb& p = pixels_[size_t(y) * size_t(width_) + size_t(x)];
      p = {p.r + (c.r - p.r) * a, p.g + (c.g - p.g) * a, p.b + (c.b - p.b) * a};
    }
  }
}

void Canvas::polygon(const std::vector<Point>& corners, Rgb colour) {
  polygon(corners, [colour](double, double) { return colour; });
}

void Canvas::rect(double x1, double y1, double x2, double y2, const Paint& paint) {
  polygon({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}, paint);
}

void Canvas::rect(double x1, double y1, double x2, double y2, Rgb colour) {
  polygon({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}, colour);
}

std::vector<uint8_t> Canvas::bmp() const {
  const uint32_t row = (uint32_t(width_) * 3 + 3) & ~3u;
  const uint32_t data = row * uint32_t(height_);
  std::vector<uint8_t> out;
  out.reserve(54 + data);
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + data);  // file size
  put32(out, 0);          // reserved
  put32(out, 54);         // offset of the pixels
  put32(out, 40);         // BITMAPINFOHEADER
  put32(out, uint32_t(width_));
  put32(out, uint32_t(height_));  // positive: bottom row first
  put16(out, 1);                  // planes
  put16(out, 24);                 // bits per pixel
  put32(out, 0);                  // no compression
  put32(out, data);
  put32(out, 2835);  // 72 dpi
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      uint8_t r, g, b;
      bytes(x, y, r, g, b);
      out.push_back(b);
      out.push_back(g);
      out.push_back(r);
    }
    for (uint32_t pad = uint32_t(width_) * 3; pad < row; ++pad) out.push_back(0);
  }
  return out;
}

bool Canvas::save(const std::string& path) const {
  const std::vector<uint8_t> bytes = bmp();
  // Written beside the target and renamed over it, so a failed write never
  // leaves a half logo behind.
  const std::string temp = path + ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) {
    std::remove(temp.c_str());
    return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

}  // namespace zt
