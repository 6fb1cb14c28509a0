#include "controls/primitives.h"

#include "controls/control_widget.h"
#include "controls/drawing_layer.h"
#include "controls/framework.h"

#include <algorithm>

#include "common/text_case.h"

namespace zt {

Colour Ctl_framecolor(const std::string& name, int k) {
  std::string n(Text_strip(Text_lower(name)));
  if (n == "rosso") return RGB(255 - k, 155 - k, 155 - k);
  if (n == "verde") return RGB(155 - k, 255 - k, 155 - k);
  if (n == "grigio" || n.empty()) return RGB(255 - k, 255 - k, 255 - k);
  if (n == "oro") return RGB(255 - k, 255 - k, 155 - k);
  if (n == "pulsanterosso") return RGB(410 - k, 210 - k, 210 - k);
  if (n == "pulsanteverde") return RGB(210 - k, 410 - k, 210 - k);
  if (n == "pulsantegrigio") return RGB(410 - k, 410 - k, 410 - k);
  if (n == "pulsanteoro") return RGB(410 - k, 310 - k, 210 - k);
  if (n == "pulsanteblu") return RGB(k - 200, k - 100, k - 100);
  return 0;
}

Colour Ctl_lampcolor(const std::string& name, int s, int i, float v) {
  std::string n = Text_lower(name);
  int m = s * i;
  double dv = v;
  auto r = [](double x) { return Ctl_round(x); };
  if (n == "verdino" || n.empty()) return RGB(m, r(2 * dv + m), m);
  if (n == "rosso-giallo") return RGB(r(dv * i), r(2 * dv + m), m);
  if (n == "rosso-arancio") return RGB(r(dv * i), 3 * m, m);
  if (n == "blu") return RGB(m, r(2 * dv + m), r(dv * i));
  if (n == "rosso") return RGB(r(2 * dv + m), m, m);
  if (n == "blu-scuro") return RGB(m, m, r(2 * dv + m));
  if (n == "blu-bianco") return RGB(r(dv * s), r(dv * i), r(double(i) * s * dv));
  if (n == "semaforo") {
    // A zero ring index or intensity would divide by zero: that
    // component is 0.
    int red = i == 0 ? 0 : r(255.0 / i * dv);
    int blue = dv == 0 ? 0 : r(double(i) * s / dv);
    return RGB(red, r(dv * i), blue);
  }
  return 0;
}

void Ctl_bevel(int b, const std::string& name) {
  if (b < 1) return;
  int w = Draw_width(), h = Draw_height();
  for (int i = 0; i <= b - 1; ++i) {
    Colour c = Ctl_framecolor(name, Ctl_round(255.0 * i / b));
    Draw_moveto(i, i);
    Draw_lineby(0, h - 2 * i, c);
    Draw_moveto(i, i);
    Draw_lineby(w - 2 * i, 0, c);
  }
  for (int i = b; i >= 1; --i) {
    Colour c = Ctl_framecolor(name, Ctl_round((b - i) * 255.0 / b));
    Draw_moveto(w - i, i - 1);
    Draw_lineby(0, h - 2 * i + 1, c);
    Draw_moveto(i, h - i);
    Draw_lineby(w - 2 * i + 1, 0, c);
  }
}

void Ctl_frame(int b, const std::string& name) {
  int w = Draw_width(), h = Draw_height();
  for (int i = 0; i <= b - 1; ++i) {
    Colour c = Ctl_framecolor(name, Ctl_round(255.0 * i / b));
    Draw_box(i, i, w - i, h - i, c, false, 0, Shape::rectangle);
  }
}

void Ctl_face(QWidget* owner, int id, int b, const std::string& name, int mode) {
  double w = Draw_width(), h = Draw_height();
  auto hline = [&](double y, int k) {
    Draw_moveto(b, y);
    Draw_lineby(w - 2 * b, 0, Ctl_framecolor(name, k));
  };
  auto vline = [&](double x, int k) {
    Draw_moveto(x, b);
    Draw_lineby(0, h - 2 * b, Ctl_framecolor(name, k));
  };
  // Lines from both edges towards the middle, each pair in one shade.
  auto mirrored = [&](double size, auto line, auto shade) {
    for (int j = b + 1; j <= Ctl_round(size / 2); ++j) {
      const int k = shade(j);
      line(j - 1, k);
      line(size - j, k);
    }
  };
  switch (mode) {
    case 0: mirrored(h, hline, [&](int j) { return Ctl_round(255 - 255 * j / h); }); break;
    case 1:
      for (int j = b + 1; j <= h - b; ++j) hline(h - j, Ctl_round(255 - 255 * j / h));
      break;
    case 2: mirrored(w, vline, [&](int j) { return Ctl_round(255 - 255 * j / w); }); break;
    case 3: Ctl_screen(b, Ctl_round(0.1 * std::min(w, h)), name); break;
    case 4:
      for (int j = b + 1; j <= h - b; ++j) hline(j - 1, Ctl_round(255 - 255 * j / h));
      break;
    case 5:
      mirrored(w, vline, [&](int j) { return Ctl_round(255 - 255 * (w - b - 1 - j) / w); });
      break;
    case 6: {
      ControlWidget* c = Ctl_control(owner, id);
      const QImage* img = c ? Picture_image(c->slot(2)) : nullptr;
      if (img) Draw_stretch(*img, b, b, w - b, h - b);
      break;
    }
    default: break;
  }
}

void Ctl_screen(int b, int steps, const std::string& name) {
  const double w = Draw_width(), h = Draw_height();
  const bool named = !Text_strip(name).empty();
  for (int j = 0; j <= steps; ++j) {
    Colour c;
    if (named) {
      c = Ctl_framecolor(name, Ctl_round(205 - j * 600 / h));
    } else {
      const int g = Ctl_round(j * 600 / h);
      c = RGB(g, g + 45, g);
    }
    Draw_box(b + j, b + j, w - b, h - b, c, true, c, Shape::rectangle);
  }
}

void Ctl_disc(double cx, double cy, double r, Colour colour) {
  Draw_box(cx - r, cy - r, cx + r, cy + r, colour, true, colour, Shape::ellipse);
}

int Ctl_textx(const std::string& text) {
  return Ctl_round((Draw_width() - Draw_textwidth(text)) / 2.0);
}

int Ctl_texty(const std::string&) { return Ctl_round((Draw_height() - Draw_lineheight()) / 2.0); }

void Ctl_caption(const std::string& text, Colour colour, Colour shadow) {
  int x = Ctl_textx(text), y = Ctl_texty(text);
  std::string shown = text;
  if (!shown.empty() && shown[0] == '<') {
    shown.erase(0, 1);
    x = 0;
  } else if (!shown.empty() && shown[0] == '>') {
    shown.erase(0, 1);
    x = 2 * x;
  }
  if (shadow > 0) {
    Draw_textcolour(shadow);
    Draw_moveto(x + 2, y + 2);
    Draw_print(shown);
  }
  Draw_textcolour(colour);
  Draw_moveto(x, y);
  Draw_print(shown);
}

}  // namespace zt
