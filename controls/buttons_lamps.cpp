#include "controls/buttons_lamps.h"

#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/drawing_layer.h"
#include "controls/framework.h"
#include "controls/meters.h"
#include "controls/primitives.h"

namespace zt {

namespace {

// Both lamp updates: the surround (a bevel around the rectangular lamp, a
// grey ring inside the window colour around the round one), then rings of
// the lamp ramp stepping inwards from the surround, then the caption (the
// given one, or the stored one).
void drawLamp(QWidget* owner, int id, float intensity, const std::string& caption, Shape shape) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec || !Draw_select(owner, id)) return;
  const std::string text = caption.empty() ? Ctl_textget(rec->caption) : caption;
  rec->value = intensity;
  const double w = Draw_width(), h = Draw_height();
  const int A = rec->bevel;
  if (shape == Shape::rectangle) {
    Ctl_bevel(A, Ctl_textget(rec->frameStyle));
  } else {
    Draw_fill(0, 0, w, h, Ctl_background());
    const int g = A > 0 ? Ctl_round(255.0 / (2 * A)) : 0;
    for (int i = 0; i <= A; ++i) {
      Colour c = RGB(g * i, g * i, g * i);
      Draw_box(i, i, w - i, h - i, c, true, c, Shape::ellipse);
    }
  }
  const std::string ramp = Ctl_textget(rec->faceStyle);
  const int n = Ctl_round(std::min(w / 2, h / 2));
  const int s = Ctl_round(255 / w);
  for (int i = 0; i <= n; ++i) {
    Colour c = Ctl_lampcolor(ramp, s, i, intensity);
    Draw_box(A + i / 2.0, A + i / 2.0, w - A - i, h - A - i / 2.0, c, true, c, shape);
  }
  if (!text.empty()) Ctl_caption(text, rec->textColor, 0);
  Draw_redraw();
}

}  // namespace

void Ctl_button(QWidget* owner, int id, int x, int y, int width, int height,
                const std::string& picture, int bevel, const std::string& frameStyle,
                const std::string& caption, Colour textColor, const std::string& faceStyle,
                int faceMode, int onFaceMode) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec) return;
  Ctl_add(owner, id, x, y, width, height, picture);
  rec->bevel = bevel;
  Ctl_textset(rec->frameStyle, frameStyle);
  Ctl_textset(rec->caption, caption);
  rec->textColor = textColor;
  Ctl_textset(rec->faceStyle, faceStyle);
  rec->faceMode = faceMode;
  rec->value = float(onFaceMode);
  Ctl_buttonflip(owner, id, std::string());
  Ctl_buttonflip(owner, id, std::string());
}

void Ctl_buttonflip(QWidget* owner, int id, const std::string& caption) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec || !Draw_select(owner, id)) return;
  ControlWidget* c = Draw_target();
  const int state = c->slot(1);
  const double h = Draw_height();
  int b = rec->bevel;
  std::string text = caption.empty() ? Ctl_textget(rec->caption) : caption;
  size_t slash = text.find('/');
  const bool on = state == 0;
  int mode;
  if (on) {
    text = slash == std::string::npos ? std::string() : text.substr(slash + 1);
    c->setslot(1, 1);
    if (const QImage* img = Picture_image(c->slot(3))) {
      Draw_copy(*img, 0, 0);
      Draw_redraw();
      return;
    }
    mode = Ctl_round(rec->value);
  } else {
    if (slash != std::string::npos) text = text.substr(0, slash);
    c->setslot(1, 0);
    if (const QImage* img = Picture_image(c->slot(2))) {
      Draw_copy(*img, 0, 0);
      Draw_redraw();
      return;
    }
    mode = rec->faceMode;
  }
  // While on, the bevel is one pixel wider and the face one pixel smaller
  // all round, so the button looks pressed in.
  const std::string frame = Ctl_textget(rec->frameStyle);
  const std::string face = Ctl_textget(rec->faceStyle);
  Ctl_bevel(on ? b + 1 : b, frame);
  Ctl_face(owner, id, on ? b + 1 : b, face, mode);
  const std::string ramp = on ? "verdino" : "rosso";
  for (int r = 5; r >= 0; --r)
    Ctl_disc(Ctl_round(h / 2 + r / 2.0), Ctl_round(h / 2), r,
             Ctl_lampcolor(ramp, Ctl_round(255 / h), -r, 100));
  Ctl_caption(text, rec->textColor, 0);
  Draw_redraw();
}

void Ctl_lamp(QWidget* owner, int id, int x, int y, int width, int height,
              const std::string& picture, int bevel, const std::string& frameStyle, float intensity,
              const std::string& faceStyle, const std::string& caption, Colour textColor) {
  Ctl_checkthread();
  if (!Ctl_entry(id)) return;
  Ctl_meter(owner, id, x, y, width, height, picture, bevel, frameStyle, intensity, 0, caption,
            textColor, "ledr", faceStyle, 0);
  Ctl_lampset(owner, id, 0, std::string());
}

void Ctl_lampset(QWidget* owner, int id, float intensity, const std::string& caption) {
  drawLamp(owner, id, intensity, caption, Shape::rectangle);
}

void Ctl_roundlamp(QWidget* owner, int id, int x, int y, int width, int height, const std::string&,
                   int bevel, const std::string&, float intensity, const std::string& faceStyle,
                   const std::string& caption, Colour textColor) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec) return;
  // Round lamps report clicks whatever their id.
  if (!Ctl_createwidget(owner, id, x, y, width, height, true)) return;
  rec->bevel = bevel;
  rec->value = intensity;
  Ctl_textset(rec->caption, caption);
  rec->textColor = textColor;
  Ctl_textset(rec->faceStyle, faceStyle);
  Ctl_roundlampset(owner, id, 0, std::string());
}

void Ctl_roundlampset(QWidget* owner, int id, float intensity, const std::string& caption) {
  drawLamp(owner, id, intensity, caption, Shape::ellipse);
}

}  // namespace zt
