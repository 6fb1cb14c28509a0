#include "tools/logo-maker/icon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/logo-maker/logo.h"
#include "tools/logo-maker/organ_pipe.h"

namespace zt {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The drawing is laid out on a 64 x 64 grid and scaled to the icon's size.
constexpr double kGrid = 64;

// A square from (l, t) to (r, b) with corners rounded by `radius`, clockwise.
std::vector<Point> roundedSquare(double l, double t, double r, double b, double radius) {
  std::vector<Point> corners;
  const Point centres[] = {{r - radius, t + radius},
                           {r - radius, b - radius},
                           {l + radius, b - radius},
                           {l + radius, t + radius}};
  for (int corner = 0; corner < 4; ++corner) {
    for (int step = 0; step <= 8; ++step) {
      const double angle = (corner - 1 + step / 8.0) * kPi / 2;
      corners.push_back({centres[corner].x + radius * std::cos(angle),
                         centres[corner].y + radius * std::sin(angle)});
    }
  }
  return corners;
}

std::vector<Point> circle(Point centre, double radius) {
  std::vector<Point> corners;
  for (int step = 0; step < 48; ++step) {
    const double angle = step * 2 * kPi / 48;
    corners.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
  }
  return corners;
}

// A ring between two closed outlines of the same kind: both in one polygon,
// the inner one walked backwards from a shared seam; the even-odd rule
// leaves the inside empty.
std::vector<Point> ring(std::vector<Point> outer, const std::vector<Point>& inner) {
  outer.push_back(outer.front());
  for (auto it = inner.rbegin(); it != inner.rend(); ++it) outer.push_back(*it);
  outer.push_back(inner.back());
  return outer;
}

std::vector<Point> scaled(std::vector<Point> points, double k) {
  for (Point& p : points) p = {p.x * k, p.y * k};
  return points;
}

}  // namespace

Icon Icon_draw(IconKind kind, int size) {
  const double k = size / kGrid;
  Icon icon{Canvas(size, size, kLogoPanel), Canvas(size, size, Rgb{0, 0, 0})};
  Canvas& c = icon.colour;

  const std::vector<Point> outline = roundedSquare(2, 2, 62, 62, 11);
  icon.cover.polygon(scaled(outline, k), Rgb{255, 255, 255});

  // The wood panel with its grain, and the gold inlay inside the edge.
  c.polygon(scaled(outline, k), [k](double x, double y) {
    x /= k;
    y /= k;
    const double grain =
        0.06 * std::sin(y * 1.7 + 0.8 * std::sin(x * 0.2)) + 0.03 * std::sin(y * 4.3 + x * 0.05);
    return Rgb_scaled(kLogoPanel, 1.12 + grain);
  });
  const double inlay = std::max(1.0, k) / k;  // at least a pixel wide
  c.polygon(scaled(ring(roundedSquare(5, 5, 59, 59, 8),
                        roundedSquare(5 + inlay, 5 + inlay, 59 - inlay, 59 - inlay, 8 - inlay)),
                   k),
            Rgb{196, 156, 72});

  // Five pipes in a mitre, the tallest in the middle, on their rack.
  const int count = 5;
  const double w = 8.4, gap = 2.2, left = (kGrid - (count * w + (count - 1) * gap)) / 2;
  for (int i = 0; i < count; ++i) {
    const double top = 11 + std::abs(i - count / 2) * 6.5;
    Pipe_draw(c, {(left + i * (w + gap)) * k, w * k, top * k, 40 * k, 46 * k, 52 * k, 0.8 * k});
  }
  c.rect((left - 2.5) * k, 52 * k, (kGrid - left + 2.5) * k, 55.5 * k, [k](double, double y) {
    return Rgb_mix(Rgb{214, 172, 84}, Rgb{120, 84, 30}, (y / k - 52) / 3.5);
  });

  if (kind == IconKind::player) {
    // A play sign on a round green badge with a gold rim, low on the right.
    const Point centre{46, 45};
    c.polygon(scaled(circle(centre, 14), k), Rgb{214, 172, 84});
    c.polygon(scaled(circle(centre, 12), k), [k, centre](double, double y) {
      return Rgb_mix(Rgb{40, 150, 70}, Rgb{12, 70, 30}, (y / k - centre.y + 12) / 24);
    });
    c.polygon(scaled({{41.5, 38}, {41.5, 52}, {53.5, 45}}, k), Rgb{250, 246, 226});
  }
  return icon;
}

}  // namespace zt
