#include "controls/knob.h"

#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/drawing_layer.h"
#include "controls/framework.h"
#include "controls/input_state.h"
#include "controls/primitives.h"

#include <QWidget>
#include <cmath>

#include "common/number_text.h"

namespace zt {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = 57.29577951308232;

double sind(double a) { return std::sin(a / kDegree); }
double cosd(double a) { return std::cos(a / kDegree); }

}  // namespace

double Ctl_angle(double d) { return 2 * kPi * (1 - d / 360); }

void Ctl_wedge(double w, double h, double a, int n, double inset) {
  Colour g = RGB(255 - 4 * n, 255 - 4 * n, 255 - 4 * n);
  Draw_pie(inset, inset, w - inset, h - inset, Ctl_angle(a + n / 2.0 - 90),
           Ctl_angle(a - n / 2.0 - 90), g);
}

void Ctl_dot(double x1, double y1, double x2, double y2) {
  double span = x2 - x1;
  int s = span != 0 ? Ctl_round(255 / span) : 0;
  for (int i = 1; i <= Ctl_round(span / 2); ++i) {
    Colour c = RGB(s * i + 155, s * i + 55, s * i + 55);
    Draw_box(x1 + i, y1 + i, x2 - i / 2.0, y2 - i / 2.0, c, true, c, Shape::ellipse);
  }
}

void Ctl_knob(QWidget* owner, int id, int x, int y, int width, int height,
              const std::string& picture, int inset, int divisions, int lowest, int highest,
              int percent) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec) return;
  BackgroundCache_create();
  Ctl_add(owner, id, x, y, width, height, picture);
  if (!Draw_select(owner, id)) return;
  const double w = width, h = height;
  if (picture.empty()) Draw_fill(0, 0, w, h, Ctl_background());
  for (int n = 180; n >= 1; --n) {
    Ctl_wedge(w, h, 40, n, 0);
    Ctl_wedge(w, h, 220, n, 0);
  }
  Draw_penwidth(2);
  Draw_box(0, 0, w, h, 0, false, 0, Shape::ellipse);
  Draw_penwidth(1);
  // Without divisions there is no tick step; no ticks are drawn.
  const int step = divisions > 0 ? Ctl_round(360.0 / divisions) : 0;
  for (int a = 0; step > 0 && a <= 360; a += step) {
    Draw_moveto(w / 2, h / 2);
    Draw_lineby(sind(a) * (w / 2 - 2), -cosd(a) * (h / 2 - 2), RGB(128, 128, 128));
  }
  for (int n = 180; n >= 1; --n) {
    Ctl_wedge(w, h, 45, n, inset);
    Ctl_wedge(w, h, 225, n, inset);
  }
  Draw_penwidth(2);
  Draw_box(inset, inset, w - inset, h - inset, RGB(50, 50, 50), false, 0, Shape::ellipse);
  Draw_penwidth(1);
  *BackgroundCache_entry(id) = Draw_getimage();
  rec->bevel = Ctl_round(1.1 * inset);
  rec->scale = int16_t(divisions);
  rec->textColor = lowest;
  rec->faceMode = highest;
  Ctl_knobset(owner, id, Ctl_round(lowest + double(highest - lowest) * percent / 100));
  Draw_redraw();
}

void Ctl_knobset(QWidget* owner, int id, int angle) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec || !Ctl_control(owner, id)) return;
  const int lowest = rec->textColor, highest = rec->faceMode;
  if (angle < lowest || angle > highest) return;
  // A range of one angle puts every allowed angle at 0 %.
  rec->value = highest > lowest
                   ? float(std::floor(double(angle - lowest) * 100 / (highest - lowest)))
                   : 0.0f;
  if (!Draw_select(owner, id)) return;
  const double w = Draw_width(), h = Draw_height();
  const double m = Ctl_round(0.08 * h);
  QImage* saved = BackgroundCache_entry(id);
  if (!saved || saved->isNull()) {
    Draw_release();
    return;
  }
  Draw_setimage(*saved);
  const int P = rec->bevel;
  const int dx = Ctl_round(sind(angle) * (w / 2 - P));
  const int dy = Ctl_round(-cosd(angle) * (h / 2 - P));
  const std::string figure = Text_trim(int(rec->value));
  const int tx = Ctl_textx(figure), ty = Ctl_texty(figure);
  Draw_textcolour(0);
  Draw_moveto(tx + 1, ty + 1);
  Draw_print(figure);
  Draw_textcolour(RGB(255, 255, 0));
  Draw_moveto(tx, ty);
  Draw_print(figure);
  const int ddx = Ctl_round(0.8 * dx), ddy = Ctl_round(0.8 * dy);
  Ctl_dot(Ctl_round(w / 2 + ddx - m), Ctl_round(h / 2 + ddy - m), Ctl_round(w / 2 + ddx + m),
          Ctl_round(h / 2 + ddy + m));
  Draw_redraw();
}

float Ctl_knobangle(QWidget* owner, int id) {
  Ctl_checkthread();
  ControlWidget* c = Ctl_control(owner, id);
  if (!c) return 0;
  const QRect r = c->geometry();
  const QPoint p = owner->mapFromGlobal(Input_cursor());
  const double X = (p.x() - r.x()) - r.width() / 2.0 + 0.01;
  const double Y = r.height() / 2.0 - (p.y() - r.y());
  const double t = std::atan(Y / X) * kDegree;
  if (X > 0 || (X == 0 && Y >= 0)) return float(90 - t);
  return float(-90 - t);
}

}  // namespace zt
