#include "controls/meters.h"

#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/drawing_layer.h"
#include "controls/framework.h"
#include "controls/primitives.h"

#include "common/number_text.h"

namespace zt {

namespace {

const Colour kRed = RGB(255, 0, 0);
const Colour kBlack = 0;
const Colour kTick = RGB(107, 205, 107);

void indicator(const ControlRecord& rec, const std::string& kind, double v) {
  const double w = Draw_width(), h = Draw_height();
  const int A = rec.bevel;
  const double W = w - 2 * A, H = h - 2 * A;
  const int scale = rec.scale;
  const std::string faceStyle = Ctl_textget(rec.faceStyle);

  if (kind == "ori_blurosso") {
    double c = 255.0 / w;
    for (int j = 0; j <= Ctl_round(0.01 * (w - 2 * A - 1) * v); ++j) {
      Draw_moveto(A + j, A);
      Draw_lineby(0, H, RGB(Ctl_round(c * j), 15, Ctl_round(255 - c * j)));
    }
  } else if (kind == "ori_vmeter") {
    // Without divisions there are no segments to light.
    if (scale <= 0) return;
    double c = 255.0 / scale;
    for (int j = 0; j <= Ctl_round(v * (scale - 1) * 0.01); ++j) {
      Colour col = RGB(Ctl_round(c * j), 0, Ctl_round(255 - c * j));
      Draw_box(A + j * W / scale, A, A + (j + 1) * W / scale, h - A, col, true, col,
               Shape::rectangle);
    }
  } else if (kind == "ori_rosso") {
    double c = 255.0 / h;
    double L = 0.01 * W * v;
    for (int j = 0; j <= Ctl_round(H / 2); ++j) {
      Colour col = RGB(Ctl_round(155 + c * j), Ctl_round(c * j), Ctl_round(c * j));
      Draw_moveto(A, A + j);
      Draw_lineby(L, 0, col);
      Draw_moveto(A, h - j - A - 1);
      Draw_lineby(L, 0, col);
    }
  } else if (kind == "ori_ago") {
    double x = A + 0.01 * W * v;
    Draw_moveto(x, A);
    Draw_lineby(0, H, kRed);
  } else if (kind == "ori_agone") {
    double x = A + 0.01 * W * v;
    Draw_box(x - 6, A, x + 7, h - A, kBlack, true,
             Ctl_framecolor(faceStyle, Ctl_round((100 - v) * 2.55)), Shape::rectangle);
    Draw_moveto(x, A + 1);
    Draw_lineby(0, H - 2, kRed);
  } else if (kind == "ver_blurosso") {
    double c = 255.0 / h;
    for (int j = 0; j <= Ctl_round(0.01 * H * v); ++j) {
      Draw_moveto(A, h - j - A - 1);
      Draw_lineby(W, 0, RGB(Ctl_round(c * j), 0, Ctl_round(255 - c * j)));
    }
  } else if (kind == "ver_vmeter") {
    if (scale <= 0) return;
    double c = 255.0 / scale;
    for (int j = 0; j <= Ctl_round(v * (scale - 1) * 0.01); ++j) {
      Colour col = RGB(Ctl_round(c * j), 0, Ctl_round(255 - c * j));
      Draw_box(A, (h - A) - j * H / scale, w - A, (h - A) + 1 - (j + 1) * H / scale, col, true, col,
               Shape::rectangle);
    }
  } else if (kind == "ver_ago") {
    Draw_penwidth(1);
    double y = (h - A) - 0.01 * H * v + 1;
    Draw_moveto(A, y);
    Draw_lineby(W, 0, kRed);
    Draw_penwidth(1);
  } else if (kind == "ver_agone") {
    double y = (h - A) - 0.01 * H * v;
    Draw_box(A, y - 5, w - A, y + 8, kBlack, true,
             Ctl_framecolor(faceStyle, Ctl_round((100 - v) * 2.55)), Shape::rectangle);
    Draw_moveto(A + 1, y + 1);
    Draw_lineby(W - 2, 0, kRed);
  }
}

void ticks(const ControlRecord& rec, const std::string& kind) {
  const int scale = rec.scale;
  if (scale <= 0) return;
  const double w = Draw_width(), h = Draw_height();
  const int A = rec.bevel;
  bool across =
      kind == "ori_blurosso" || kind == "ori_rosso" || kind == "ori_ago" || kind == "ori_agone";
  bool up = kind == "ver_blurosso" || kind == "ver_ago" || kind == "ver_agone";
  for (int t = 1; t <= scale - 1; ++t) {
    if (across) {
      Draw_moveto(A + t * (w - 2 * A) / scale, h - A - 1);
      Draw_lineby(0, -0.2 * h, kTick);
    } else if (up) {
      Draw_moveto(A + 1, A + t * (h - 2 * A) / scale);
      Draw_lineby(0.2 * (w - 2 * A), 0, kTick);
    }
  }
}

}  // namespace

std::string Ctl_meterformat(const std::string& caption, float value, int scale) {
  if (caption == "%") return Text_trim(Ctl_round(value)) + "%";
  if (caption == "!") return Text_trim(Ctl_round(double(value) * scale / 100));
  return caption;
}

void Ctl_meter(QWidget* owner, int id, int x, int y, int width, int height,
               const std::string& picture, int bevel, const std::string& frameStyle, float value,
               int scale, const std::string& caption, Colour textColor, const std::string& kind,
               const std::string& faceStyle, int faceMode) {
  Ctl_checkthread();
  if (!Ctl_addrecord(owner, id, x, y, width, height, picture, bevel, frameStyle, value, scale,
                     caption, textColor, kind, faceStyle, faceMode))
    return;
  Ctl_meterset(owner, id, 0, std::string());
}

void Ctl_meterset(QWidget* owner, int id, float value, const std::string& caption) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec || !Ctl_control(owner, id)) return;
  std::string shown = caption;
  if (shown.empty())
    shown = Ctl_textget(rec->caption);
  else
    Ctl_textset(rec->caption, caption);
  if (value >= 0) rec->value = value;
  Ctl_meterdraw(owner, id, shown);
}

void Ctl_meterdraw(QWidget* owner, int id, const std::string& caption) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec || !Draw_select(owner, id)) return;
  ControlWidget* c = Draw_target();
  const std::string kind = Ctl_textget(rec->kind);
  QImage* saved = nullptr;
  BackgroundCache_create();
  saved = BackgroundCache_entry(id);
  if (c->slot(8) == 0 || saved->isNull()) {
    if (kind.empty())
      Ctl_frame(rec->bevel, Ctl_textget(rec->frameStyle));
    else
      Ctl_bevel(rec->bevel, Ctl_textget(rec->frameStyle));
    Ctl_face(owner, id, rec->bevel, Ctl_textget(rec->faceStyle), rec->faceMode);
    *saved = Draw_getimage();
    // Slot 8 marks the background as drawn; it holds the id, which is 0
    // for control 0, so the saved image itself is checked as well.
    c->setslot(8, id);
  } else {
    Draw_setimage(*saved);
  }
  const double v = rec->value;
  std::string text = Ctl_meterformat(caption, rec->value, rec->scale);
  if (v > 0) indicator(*rec, kind, v);
  ticks(*rec, kind);
  if (!text.empty()) Ctl_caption(text, rec->textColor, 0);
  Draw_redraw();
}

}  // namespace zt
