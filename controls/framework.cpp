#include "controls/framework.h"

#include "controls/buttons_lamps.h"
#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/drawing_layer.h"
#include "controls/text_codec.h"

#include <QFileInfo>
#include <deque>

#include "common/text_case.h"

namespace zt {

namespace {

// Loaded pictures live for the whole run, as the bitmaps they stand for do.
std::deque<QImage>& pictures() {
  static std::deque<QImage> p;
  return p;
}

QImage readPicture(const std::string& name) {
  QString path = Text_toqt(name);
  QImage img(path);
  if (img.isNull() && QFileInfo(path).suffix().isEmpty())
    img = QImage(path + QStringLiteral(".bmp"));
  if (img.isNull()) img = QImage(QStringLiteral(":/") + path);
  return img;
}

}  // namespace

ControlRecord* Ctl_addrecord(QWidget* owner, int id, int x, int y, int width, int height,
                             const std::string& picture, int bevel, const std::string& frameStyle,
                             float value, int scale, const std::string& caption, Colour textColor,
                             const std::string& kind, const std::string& faceStyle, int faceMode) {
  ControlRecord* rec = Ctl_entry(id);
  if (!rec) return nullptr;
  Ctl_add(owner, id, x, y, width, height, picture);
  rec->bevel = bevel;
  Ctl_textset(rec->frameStyle, frameStyle);
  rec->value = value;
  rec->scale = int16_t(scale);
  Ctl_textset(rec->caption, caption);
  rec->textColor = textColor;
  Ctl_textset(rec->kind, kind);
  Ctl_textset(rec->faceStyle, faceStyle);
  rec->faceMode = faceMode;
  return rec;
}

int Picture_load(const std::string& name, int width, int height) {
  if (name.empty() || width <= 0 || height <= 0) return 0;
  QImage img = readPicture(name);
  if (img.isNull()) return 0;
  pictures().push_back(img.convertToFormat(QImage::Format_RGB32)
                           .scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation));
  return int(pictures().size());
}

const QImage* Picture_image(int handle) {
  if (handle < 1 || size_t(handle) > pictures().size()) return nullptr;
  return &pictures()[size_t(handle - 1)];
}

void Ctl_add(QWidget* owner, int id, int x, int y, int width, int height,
             const std::string& picture) {
  Ctl_checkthread();
  if (!Ctl_createwidget(owner, id, x, y, width, height, id > 0)) return;
  if (picture.empty()) return;
  size_t slash = picture.find('/');
  if (slash != std::string::npos)
    Ctl_pictures(owner, id, picture.substr(slash + 1), picture.substr(0, slash));
  else
    Ctl_pictures(owner, id, picture);
}

void Ctl_pictures(QWidget* owner, int id, const std::string& first, const std::string& second) {
  Ctl_checkthread();
  if (!Draw_select(owner, id)) return;
  if (Text_stripleft(first + second).empty()) {
    Ctl_buttonflip(owner, id, "OFF/ON");
    Ctl_buttonflip(owner, id, "OFF/ON");
    return;
  }
  int w = Draw_width(), h = Draw_height();
  ControlWidget* c = Draw_target();
  int rest = Picture_load(first, w, h);
  int on = Picture_load(second, w, h);
  if (const QImage* img = Picture_image(rest)) Draw_stretch(*img, 0, 0, w, h);
  c->setslot(2, rest);
  c->setslot(3, on);
  c->setslot(1, 0);
  Draw_redraw();
}

void Ctl_pictures(QWidget* owner, int id, const std::string& name) {
  Ctl_checkthread();
  std::string n(Text_stripleft(name));
  if (n.empty() || !Draw_select(owner, id)) return;
  int w = Draw_width(), h = Draw_height();
  ControlWidget* c = Draw_target();
  int handle = Picture_load(n, w, h);
  if (const QImage* img = Picture_image(handle)) Draw_stretch(*img, 0, 0, w, h);
  c->setslot(2, handle);
  c->setslot(1, 0);
  Draw_redraw();
}

}  // namespace zt
