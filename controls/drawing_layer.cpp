#include "controls/drawing_layer.h"

#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/text_codec.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace zt {

namespace {

// Captions of every family but the text display use this face: a plain sans
// face about the size of a classic 8-point dialog font.
const char* const kDefaultFace = "Liberation Sans";
constexpr int kDefaultPixels = 11;

struct FontChoice {
  std::string face;
  int points = 0;
  bool bold = false;
  bool fixedPitch = false;
  bool operator==(const FontChoice&) const = default;
};

struct Layer {
  QPointer<ControlWidget> target;
  QPainter painter;
  int x = 0, y = 0;
  int pen = 1;
  Colour text = 0;
  FontChoice choice;
  // The last font built, kept because building and measuring fonts costs
  // more than drawing a short caption.
  std::optional<FontChoice> builtFor;
  QFont font;
  std::unique_ptr<QFontMetrics> metrics;
};

Layer& layer() {
  static Layer l;
  return l;
}

QImage* image() {
  Layer& l = layer();
  return l.target ? &l.target->image() : nullptr;
}

uint32_t pixel(Colour c) {
  return 0xFF000000u | (uint32_t(Ctl_red(c)) << 16) | (uint32_t(Ctl_green(c)) << 8) |
         uint32_t(Ctl_blue(c));
}

QPainter* painter() {
  Layer& l = layer();
  QImage* img = image();
  if (!img) return nullptr;
  if (!l.painter.isActive()) {
    l.painter.begin(img);
    l.painter.setRenderHint(QPainter::Antialiasing, false);
    l.painter.setRenderHint(QPainter::TextAntialiasing, false);
    l.painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  }
  return &l.painter;
}

// Single pixels and spans go straight into the image: they are the bulk of
// every drawing and must follow the exclusive-end rules exactly.
void put(QImage& img, int x, int y, uint32_t p) {
  if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return;
  reinterpret_cast<uint32_t*>(img.scanLine(y))[x] = p;
}

void span(QImage& img, int x1, int x2, int y, uint32_t p)  // [x1, x2)
{
  if (y < 0 || y >= img.height()) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, img.width());
  if (x1 >= x2) return;
  uint32_t* row = reinterpret_cast<uint32_t*>(img.scanLine(y));
  std::fill(row + x1, row + x2, p);
}

void block(QImage& img, int x1, int y1, int x2, int y2, uint32_t p)  // [x1, x2) x [y1, y2)
{
  y1 = std::max(y1, 0);
  y2 = std::min(y2, img.height());
  for (int y = y1; y < y2; ++y) span(img, x1, x2, y, p);
}

// Solid ellipse inscribed in [x1, x2) x [y1, y2): a pixel is in when its
// centre is. Discs and lamps are drawn by the dozen on every update, and this
// is several times faster than a painter path.
void solidEllipse(QImage& img, int x1, int y1, int x2, int y2, uint32_t p) {
  const double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
  const double a = (x2 - x1) / 2.0, b = (y2 - y1) / 2.0;
  for (int y = std::max(y1, 0); y < std::min(y2, img.height()); ++y) {
    double dy = (y + 0.5 - cy) / b;
    double q = 1 - dy * dy;
    if (q < 0) continue;
    double half = a * std::sqrt(q);
    int from = int(std::ceil(cx - half - 0.5));
    int to = int(std::floor(cx + half - 0.5));
    span(img, from, to + 1, y, p);
  }
}

const QFont& currentFont() {
  Layer& l = layer();
  if (l.builtFor && *l.builtFor == l.choice) return l.font;
  QFont f;
  if (l.choice.face.empty()) {
    f = QFont(QString::fromLatin1(kDefaultFace));
    f.setPixelSize(kDefaultPixels);
  } else {
    f = QFont(Text_toqt(l.choice.face));
    // Point sizes as a 96-dpi screen shows them.
    f.setPixelSize(std::max(1, Ctl_round(l.choice.points * 96.0 / 72.0)));
    f.setBold(l.choice.bold);
    // A fixed-pitch face asked for by name falls back to the system's
    // fixed-pitch font when the family is missing.
    if (l.choice.fixedPitch && !QFontInfo(f).fixedPitch())
      f.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
  }
  f.setStyleStrategy(QFont::NoAntialias);
  l.font = f;
  l.metrics = std::make_unique<QFontMetrics>(f);
  l.builtFor = l.choice;
  return l.font;
}

const QFontMetrics& metrics() {
  currentFont();
  return *layer().metrics;
}

}  // namespace

bool Draw_select(QWidget* owner, int id) {
  Layer& l = layer();
  if (l.painter.isActive()) l.painter.end();
  l.target = Ctl_control(owner, id);
  l.x = l.y = 0;
  l.pen = 1;
  l.text = 0;
  l.choice = FontChoice{};
  return !l.target.isNull();
}

ControlWidget* Draw_target() { return layer().target.data(); }

int Draw_width() {
  QImage* img = image();
  return img ? img->width() : 0;
}

int Draw_height() {
  QImage* img = image();
  return img ? img->height() : 0;
}

void Draw_moveto(double x, double y) {
  layer().x = Ctl_round(x);
  layer().y = Ctl_round(y);
}

void Draw_penwidth(int n) { layer().pen = std::max(1, n); }

void Draw_lineby(double dx, double dy, Colour colour) {
  Layer& l = layer();
  int x0 = l.x, y0 = l.y;
  int x1 = x0 + Ctl_round(dx), y1 = y0 + Ctl_round(dy);
  l.x = x1;
  l.y = y1;
  QImage* img = image();
  if (!img || (x0 == x1 && y0 == y1)) return;
  if (l.pen > 1) {
    // Wide lines are rare (none of the families draws one); the end
    // point is left out by stopping one pixel short with flat caps.
    double len = std::hypot(double(x1 - x0), double(y1 - y0));
    QPointF end(x1 - (x1 - x0) / len, y1 - (y1 - y0) / len);
    QPainter* p = painter();
    p->setPen(QPen(Ctl_qcolour(colour), l.pen, Qt::SolidLine, Qt::FlatCap));
    p->drawLine(QPointF(x0, y0), end);
    return;
  }
  uint32_t p = pixel(colour);
  if (y0 == y1) {
    if (x1 > x0)
      span(*img, x0, x1, y0, p);
    else
      span(*img, x1 + 1, x0 + 1, y0, p);
    return;
  }
  if (x0 == x1) {
    int a = y1 > y0 ? y0 : y1 + 1;
    int b = y1 > y0 ? y1 : y0 + 1;
    a = std::max(a, 0);
    b = std::min(b, img->height());
    if (x0 >= 0 && x0 < img->width())
      for (int y = a; y < b; ++y) reinterpret_cast<uint32_t*>(img->scanLine(y))[x0] = p;
    return;
  }
  // Bresenham, every point but the last.
  int adx = std::abs(x1 - x0), ady = std::abs(y1 - y0);
  int sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
  int err = adx - ady;
  int x = x0, y = y0;
  while (x != x1 || y != y1) {
    put(*img, x, y, p);
    int e2 = 2 * err;
    if (e2 > -ady) {
      err -= ady;
      x += sx;
    }
    if (e2 < adx) {
      err += adx;
      y += sy;
    }
  }
}

void Draw_box(double x1, double y1, double x2, double y2, Colour border, bool filled, Colour fill,
              Shape shape) {
  QImage* img = image();
  if (!img) return;
  int ax = Ctl_round(x1), ay = Ctl_round(y1), bx = Ctl_round(x2), by = Ctl_round(y2);
  if (ax > bx) std::swap(ax, bx);
  if (ay > by) std::swap(ay, by);
  Layer& l = layer();
  if (shape == Shape::rectangle && l.pen == 1) {
    if (bx - ax < 1 || by - ay < 1) return;
    uint32_t b = pixel(border);
    if (filled) block(*img, ax + 1, ay + 1, bx - 1, by - 1, pixel(fill));
    span(*img, ax, bx, ay, b);
    span(*img, ax, bx, by - 1, b);
    block(*img, ax, ay, ax + 1, by, b);
    block(*img, bx - 1, ay, bx, by, b);
    return;
  }
  if (bx - ax < 2 || by - ay < 2) {
    // Too small for an outline: the box is one solid dot or bar, so a
    // disc of radius 0 still shows its centre pixel.
    if (filled || shape == Shape::ellipse)
      block(*img, ax, ay, std::max(bx, ax + 1), std::max(by, ay + 1),
            pixel(filled ? fill : border));
    return;
  }
  if (shape == Shape::ellipse && filled && border == fill && l.pen == 1) {
    solidEllipse(*img, ax, ay, bx, by, pixel(fill));
    return;
  }
  QPainter* p = painter();
  p->setPen(QPen(Ctl_qcolour(border), l.pen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  if (filled)
    p->setBrush(Ctl_qcolour(fill));
  else
    p->setBrush(Qt::NoBrush);
  QRect r(ax, ay, bx - ax - 1, by - ay - 1);
  if (shape == Shape::ellipse)
    p->drawEllipse(r);
  else
    p->drawRect(r);
}

void Draw_fill(double x1, double y1, double x2, double y2, Colour colour) {
  QImage* img = image();
  if (!img) return;
  int ax = Ctl_round(x1), ay = Ctl_round(y1), bx = Ctl_round(x2), by = Ctl_round(y2);
  if (ax > bx) std::swap(ax, bx);
  if (ay > by) std::swap(ay, by);
  block(*img, ax, ay, bx, by, pixel(colour));
}

void Draw_pie(double x1, double y1, double x2, double y2, double from, double to, Colour colour) {
  QPainter* p = painter();
  if (!p) return;
  int ax = Ctl_round(x1), ay = Ctl_round(y1), bx = Ctl_round(x2), by = Ctl_round(y2);
  if (ax > bx) std::swap(ax, bx);
  if (ay > by) std::swap(ay, by);
  if (bx - ax < 2 || by - ay < 2) return;
  constexpr double deg = 180.0 / 3.14159265358979323846;
  double start = from * deg;
  double span = std::fmod((to - from) * deg, 360.0);
  if (span <= 0) span += 360.0;
  p->setPen(QPen(Ctl_qcolour(colour), layer().pen));
  p->setBrush(Ctl_qcolour(colour));
  p->drawPie(QRect(ax, ay, bx - ax - 1, by - ay - 1), Ctl_round(start * 16), Ctl_round(span * 16));
}

void Draw_textcolour(Colour colour) { layer().text = colour; }

void Draw_font(const std::string& face, int points, bool bold, bool fixedPitch) {
  layer().choice = FontChoice{face, points, bold, fixedPitch};
}

void Draw_print(const std::string& text) {
  Layer& l = layer();
  QPainter* p = painter();
  if (!p || text.empty()) return;
  const QFont& f = currentFont();
  QString s = Text_toqt(text);
  p->setFont(f);
  p->setPen(Ctl_qcolour(l.text));
  p->drawText(QPoint(l.x, l.y + l.metrics->ascent()), s);
  l.x += l.metrics->horizontalAdvance(s);
}

int Draw_textwidth(const std::string& text) { return metrics().horizontalAdvance(Text_toqt(text)); }

int Draw_lineheight() { return metrics().lineSpacing(); }

void Draw_copy(const QImage& src, int x, int y) {
  QPainter* p = painter();
  if (!p || src.isNull()) return;
  p->setCompositionMode(QPainter::CompositionMode_Source);
  p->drawImage(x, y, src);
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Draw_stretch(const QImage& src, double x1, double y1, double x2, double y2) {
  QPainter* p = painter();
  if (!p || src.isNull()) return;
  int ax = Ctl_round(x1), ay = Ctl_round(y1), bx = Ctl_round(x2), by = Ctl_round(y2);
  if (ax > bx) std::swap(ax, bx);
  if (ay > by) std::swap(ay, by);
  if (bx == ax || by == ay) return;
  p->setCompositionMode(QPainter::CompositionMode_Source);
  p->drawImage(QRect(ax, ay, bx - ax, by - ay), src);
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QImage Draw_getimage() {
  QImage* img = image();
  if (!img) return QImage();
  if (layer().painter.isActive()) layer().painter.end();
  return img->copy();
}

void Draw_setimage(const QImage& src) {
  QImage* img = image();
  if (!img || src.isNull()) return;
  if (src.size() == img->size() && src.format() == img->format()) {
    // Same shape: copy the bytes, so the target keeps its own buffer.
    std::memcpy(img->bits(), src.constBits(), size_t(img->sizeInBytes()));
    return;
  }
  Draw_copy(src, 0, 0);
}

void Draw_redraw() {
  Layer& l = layer();
  if (l.painter.isActive()) l.painter.end();
  if (l.target) l.target->repaint();
}

void Draw_release() {
  Layer& l = layer();
  if (l.painter.isActive()) l.painter.end();
}

}  // namespace zt
