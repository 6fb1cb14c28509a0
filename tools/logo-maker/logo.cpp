#include "tools/logo-maker/logo.h"

#include <algorithm>
#include <cmath>

namespace zt {

namespace {

constexpr double kPi = 3.14159265358979323846;

Rgb mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scaled(Rgb c, double f) { return {c.r * f, c.g * f, c.b * f}; }

// The inner panel: the edge colour with a faint grain running along it.
void drawPanel(Canvas& c) {
  const Rgb gold{196, 156, 72};
  c.rect(5, 5, kLogoWidth - 5, kLogoHeight - 5, [](double x, double y) {
    const double grain =
        0.06 * std::sin(y * 1.7 + 0.8 * std::sin(x * 0.045)) + 0.03 * std::sin(y * 4.3 + x * 0.01);
    return scaled(kLogoPanel, 1.12 + grain);
  });
  // A thin gold inlay, inset so the edge keeps the plain panel colour.
  const double l = 3, t = 3, r = kLogoWidth - 3, b = kLogoHeight - 3;
  c.rect(l, t, r, t + 1, gold);
  c.rect(l, b - 1, r, b, scaled(gold, 0.7));
  c.rect(l, t, l + 1, b, gold);
  c.rect(r - 1, t, r, b, scaled(gold, 0.7));
}

// One flue pipe: a tin body lit from the left, the mouth, and a conical foot
// standing on the rack at y = 52.
void drawPipe(Canvas& c, double x, double w, double top) {
  const double mouth = 38, foot = 44, rack = 52;
  auto tin = [x, w](double px, double) {
    const double u = (px - x) / w;  // 0 at the left edge, 1 at the right
    const double light =
        0.45 + 0.55 * std::pow(std::sin(kPi * std::clamp(u * 0.9 + 0.05, 0.0, 1.0)), 0.7);
    const double shine = std::exp(-std::pow((u - 0.3) / 0.08, 2)) * 0.35;
    return mix(scaled(Rgb{205, 208, 210}, light), Rgb{255, 255, 255}, shine);
  };
  c.rect(x, top, x + w, foot, tin);
  // Rounded top rim, darker.
  c.rect(x, top, x + w, top + 1, Rgb{120, 118, 112});
  // The mouth: a dark slot with the upper lip above it.
  const double mx = x + w * 0.2, mw = w * 0.6;
  c.polygon(
      {{mx, mouth - 3}, {mx + mw, mouth - 3}, {mx + mw * 0.85, mouth}, {mx + mw * 0.15, mouth}},
      Rgb{150, 150, 148});
  c.rect(mx, mouth, mx + mw, mouth + 2.5, Rgb{22, 14, 10});
  // The foot narrows to the toe hole on the rack.
  const double mid = x + w / 2;
  c.polygon({{x, foot}, {x + w, foot}, {mid + 1.2, rack}, {mid - 1.2, rack}}, tin);
}

void drawPipes(Canvas& c) {
  // Nine pipes in a mitre: the tallest in the middle.
  const int count = 9;
  const double w = 11, gap = 4, left = 16;
  for (int i = 0; i < count; ++i) {
    const int fromMiddle = std::abs(i - count / 2);
    const double top = 9 + fromMiddle * 4.5;
    drawPipe(c, left + i * (w + gap), w, top);
  }
  // The rack the pipes stand on.
  const double right = left + count * (w + gap) - gap;
  c.rect(left - 4, 52, right + 4, 55, [](double, double y) {
    return mix(Rgb{214, 172, 84}, Rgb{120, 84, 30}, (y - 52) / 3);
  });
}

void drawLetters(Canvas& c) {
  const std::vector<Point> z{{180, 10}, {230, 10}, {230, 18}, {194, 42}, {230, 42},
                             {230, 50}, {180, 50}, {180, 42}, {216, 18}, {180, 18}};
  const std::vector<Point> t{{240, 10}, {290, 10}, {290, 18}, {269, 18},
                             {269, 50}, {261, 50}, {261, 18}, {240, 18}};
  auto shifted = [](std::vector<Point> p, double d) {
    for (Point& q : p) q = {q.x + d, q.y + d};
    return p;
  };
  auto gold = [](double, double y) {
    return mix(Rgb{255, 228, 140}, Rgb{168, 116, 36}, (y - 10) / 40);
  };
  const Rgb shadow{22, 11, 7};
  for (const auto* letter : {&z, &t}) {
    c.polygon(shifted(*letter, 2), shadow);
    c.polygon(*letter, gold);
  }
}

}  // namespace

Canvas Logo_draw() {
  Canvas c(kLogoWidth, kLogoHeight, kLogoPanel);
  drawPanel(c);
  drawPipes(c);
  drawLetters(c);
  return c;
}

}  // namespace zt
