#include "controls/text_display.h"

#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/drawing_layer.h"
#include "controls/framework.h"
#include "controls/primitives.h"

namespace zt {

void Ctl_display(QWidget* owner, int id, int x, int y, int& width, int& height,
                 const std::string& picture, int bevel, const std::string& frameStyle, float value,
                 int scale, const std::string& caption, Colour textColor, const std::string& kind,
                 const std::string& faceStyle, int faceMode) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_addrecord(owner, id, x, y, width, height, picture, bevel, frameStyle,
                                     value, scale, caption, textColor, kind, faceStyle, faceMode);
  if (!rec) return;
  BackgroundCache_create();
  if (!Draw_select(owner, id)) return;
  const double w = Draw_width(), h = Draw_height();
  width = int(w);
  height = int(h);
  Ctl_bevel(bevel, frameStyle);
  Ctl_screen(bevel, Ctl_round(0.1 * h), Ctl_textget(rec->faceStyle));
  *BackgroundCache_entry(id) = Draw_getimage();
  Draw_redraw();
  Ctl_displayset(owner, id, std::string());
}

void Ctl_displayset(QWidget* owner, int id, const std::string& text) {
  Ctl_checkthread();
  ControlRecord* rec = Ctl_entry(id);
  if (!rec || !Draw_select(owner, id)) return;
  if (QImage* saved = BackgroundCache_entry(id); saved && !saved->isNull()) Draw_setimage(*saved);
  if (!text.empty()) {
    Draw_font("courier new", Ctl_round(rec->scale / 1.5), true, true);
    Ctl_caption(text, rec->textColor, RGB(0, 45, 0));
  }
  Draw_redraw();
}

}  // namespace zt
