#include "console/app/window/keyboard_display.h"

#include <QFont>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <cmath>
#include <map>

#include "console/engine/note_names.h"
#include "controls/input_state.h"

namespace zt {

Colour whiteKeyColor = RGB(255, 255, 210);
Colour blackKeyColor = RGB(55, 55, 50);
int noteNamesOn = 0;
QImage keyboardImage;

namespace {

// The drawing constants are single-precision values, widened where they are
// used: the corners fall on the pixels that single precision gives.
const double k06 = double(0.6f);
const double k04 = double(0.4f);
const double k065 = double(0.65f);
const double k14 = double(1.4f);

constexpr int kWhiteBefore[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
// Key number of the n-th white key of an octave, n = 0..6.
constexpr int kWhiteKeyOfOctave[7] = {1, 3, 5, 6, 8, 10, 12};

std::map<int, QPointer<ControlWidget>>& displays() {
  static std::map<int, QPointer<ControlWidget>> d;
  return d;
}

int pitchClass(int k) { return (k - 1) % 12; }

// The painter every key drawing uses: no smoothing, so pixels are exact.
void prepare(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
}

QFont nameFont() {
  QFont f("Liberation Sans");
  f.setPixelSize(11);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

void drawName(QPainter& p, int q, int x, int y, Colour colour) {
  p.setFont(nameFont());
  p.setPen(Ctl_qcolour(colour));
  p.drawText(QRect(x, y, 64, 32), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
             kLetterNoteNames[q]);
}

}  // namespace

bool Key_isblack(int k) {
  const int q = pitchClass(k);
  return q == 1 || q == 3 || q == 6 || q == 8 || q == 10;
}

int Key_whiteposition(int k) { return 7 * ((k - 1) / 12) + kWhiteBefore[pitchClass(k)]; }

ControlWidget* Keyboard_create(QWidget* window, int id, QRect rect) {
  ControlWidget* w =
      Ctl_createwidget(window, id, rect.x(), rect.y(), rect.width(), rect.height(), true);
  if (w) displays()[id] = w;
  return w;
}

ControlWidget* Keyboard_display(int id) {
  auto it = displays().find(id);
  return it == displays().end() ? nullptr : it->second.data();
}

void Key_draw(int display, int k, int32_t colour) {
  ControlWidget* w = Keyboard_display(display);
  if (!w || k < 1 || k > kKeys) return;
  const double kw = double(w->width()) / kWhiteKeys;
  const double L = w->height() - 1;
  const int q = pitchClass(k);
  const bool black = Key_isblack(k);
  const Colour fill = colour < 0 ? (black ? blackKeyColor : whiteKeyColor) : Colour(colour);
  const double xl = Key_whiteposition(k) * kw;
  auto px = [](double v) { return Ctl_round(v); };

  QPainter p(&w->image());
  prepare(p);
  if (black) {
    // Border and fill in one colour; the right and bottom edges are outside.
    const int x1 = px(xl + k065 * kw + 1), y1 = 1;
    const int x2 = px(xl + k14 * kw - 1), y2 = px(k06 * L - 1);
    if (x2 > x1 && y2 > y1) p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), Ctl_qcolour(fill));
    if (noteNamesOn == 1) drawName(p, q, x1, px(k06 * L - 14), RGB(255, 255, 0));
    return;
  }
  const double band = k06 * L;  // where the black keys end
  QPolygon shape;
  auto corner = [&](double x, double y) { shape << QPoint(px(x), px(y)); };
  if (q == 0 || q == 5) {  // C, F: cut on the right
    corner(xl, 0);
    corner(xl, L);
    corner(xl + kw, L);
    corner(xl + kw, band);
    corner(xl + k06 * kw, band);
    corner(xl + k06 * kw, 0);
  } else if (q == 2 || q == 7 || q == 9) {  // D, G, A: cut on both sides
    corner(xl + k04 * kw, 0);
    corner(xl + k04 * kw, band);
    corner(xl, band);
    corner(xl, L);
    corner(xl + kw, L);
    corner(xl + kw, band);
    corner(xl + k06 * kw, band);
    corner(xl + k06 * kw, 0);
  } else {  // E, B: cut on the left
    corner(xl + k04 * kw, 0);
    corner(xl + k04 * kw, band);
    corner(xl, band);
    corner(xl, L);
    corner(xl + kw, L);
    corner(xl + kw, 0);
  }
  p.setPen(QPen(Qt::black, 0));
  p.setBrush(Ctl_qcolour(fill));
  p.drawPolygon(shape, Qt::OddEvenFill);
  if (noteNamesOn == 1) drawName(p, q, px(xl + 4), px(L - 14), RGB(0, 0, 255));
}

void Keyboard_draw(int display, int k, int32_t colour) {
  ControlWidget* w = Keyboard_display(display);
  if (!w) return;
  if (colour == -1) {
    if (keyboardImage.isNull()) {
      for (int key = 1; key <= kKeys; ++key) Key_draw(display, key, -1);
      keyboardImage = w->image().copy();
    } else {
      QPainter p(&w->image());
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(0, 0, keyboardImage);
    }
  } else {
    Key_draw(display, k, colour >= 0 ? colour : -1);
  }
  w->update();
}

int Key_at(int display) {
  ControlWidget* w = Keyboard_display(display);
  if (!w || !w->parentWidget()) return 0;
  const int W = w->width(), H = w->height();
  if (W <= 0) return 0;
  const QPoint origin = w->geometry().topLeft();
  const QPoint pointer = w->parentWidget()->mapFromGlobal(Input_cursor());
  const int dx = pointer.x() - origin.x();
  const int dy = pointer.y() - origin.y();
  if (dy <= k06 * H) {
    // Upper band: 72 equal slices of the width, black keys or not.
    return int(std::floor(dx / (double(W) / kKeys) + 1));
  }
  // Lower band: the white keys only. The division drops the remainder.
  const int j = int((int64_t(kWhiteKeys) * dx) / W) + 1;
  if (j < 1 || j > kWhiteKeys) return 0;
  return 12 * ((j - 1) / 7) + kWhiteKeyOfOctave[(j - 1) % 7];
}

void Keyboard_reset() {
  keyboardImage = QImage();
  noteNamesOn = 0;
  whiteKeyColor = RGB(255, 255, 210);
  blackKeyColor = RGB(55, 55, 50);
}

}  // namespace zt
