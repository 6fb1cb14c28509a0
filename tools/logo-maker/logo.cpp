#include "tools/logo-maker/logo.h"

#include <cmath>

#include "tools/logo-maker/organ_pipe.h"

namespace zt {

namespace {

// The inner panel: the edge colour with a faint grain running along it.
void drawPanel(Canvas& c) {
  const Rgb gold{196, 156, 72};
  c.rect(5, 5, kLogoWidth - 5, kLogoHeight - 5, [](double x, double y) {
    const double grain =
        0.06 * std::sin(y * 1.7 + 0.8 * std::sin(x * 0.045)) + 0.03 * std::sin(y * 4.3 + x * 0.01);
    return Rgb_scaled(kLogoPanel, 1.12 + grain);
  });
  // A thin gold inlay, inset so the edge keeps the plain panel colour.
  const double l = 3, t = 3, r = kLogoWidth - 3, b = kLogoHeight - 3;
  c.rect(l, t, r, t + 1, gold);
  c.rect(l, b - 1, r, b, Rgb_scaled(gold, 0.7));
  c.rect(l, t, l + 1, b, gold);
  c.rect(r - 1, t, r, b, Rgb_scaled(gold, 0.7));
}

void drawPipes(Canvas& c) {
  // Nine pipes in a mitre: the tallest in the middle.
  const int count = 9;
  const double w = 11, gap = 4, left = 16;
  for (int i = 0; i < count; ++i) {
    const int fromMiddle = std::abs(i - count / 2);
    const double top = 9 + fromMiddle * 4.5;
    Pipe_draw(c, {left + i * (w + gap), w, top, 38, 44, 52, 1});
  }
  // The rack the pipes stand on.
  const double right = left + count * (w + gap) - gap;
  c.rect(left - 4, 52, right + 4, 55, [](double, double y) {
    return Rgb_mix(Rgb{214, 172, 84}, Rgb{120, 84, 30}, (y - 52) / 3);
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
    return Rgb_mix(Rgb{255, 228, 140}, Rgb{168, 116, 36}, (y - 10) / 40);
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
