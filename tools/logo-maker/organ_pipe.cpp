#include "tools/logo-maker/organ_pipe.h"

#include <algorithm>
#include <cmath>

namespace zt {

void Pipe_draw(Canvas& c, const PipeShape& p) {
  constexpr double kPi = 3.14159265358979323846;
  const double x = p.x, w = p.width, u = p.unit;
  auto tin = [x, w](double px, double) {
    const double across = (px - x) / w;  // 0 at the left edge, 1 at the right
    const double light =
        0.45 + 0.55 * std::pow(std::sin(kPi * std::clamp(across * 0.9 + 0.05, 0.0, 1.0)), 0.7);
    const double shine = std::exp(-std::pow((across - 0.3) / 0.08, 2)) * 0.35;
    return Rgb_mix(Rgb_scaled(Rgb{205, 208, 210}, light), Rgb{255, 255, 255}, shine);
  };
  c.rect(x, p.top, x + w, p.foot, tin);
  // Rounded top rim, darker.
  c.rect(x, p.top, x + w, p.top + 1 * u, Rgb{120, 118, 112});
  // The mouth: a dark slot with the upper lip above it.
  const double mx = x + w * 0.2, mw = w * 0.6;
  c.polygon({{mx, p.mouth - 3 * u},
             {mx + mw, p.mouth - 3 * u},
             {mx + mw * 0.85, p.mouth},
             {mx + mw * 0.15, p.mouth}},
            Rgb{150, 150, 148});
  c.rect(mx, p.mouth, mx + mw, p.mouth + 2.5 * u, Rgb{22, 14, 10});
  // The foot narrows to the toe hole on the rack.
  const double mid = x + w / 2;
  c.polygon({{x, p.foot}, {x + w, p.foot}, {mid + 1.2 * u, p.rack}, {mid - 1.2 * u, p.rack}}, tin);
}

}  // namespace zt
