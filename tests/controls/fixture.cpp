#include "tests/controls/fixture.h"

namespace zt {

void ControlsTest::SetUp() {
  ControlTable_create();
  Ctl_setbackground(kBackground);
  owner = std::make_unique<QWidget>();
  owner->setGeometry(100, 80, 640, 480);
  owner->show();
  Input_set(&mouse);
}

void ControlsTest::TearDown() {
  Input_set(nullptr);
  owner.reset();
}

Colour ControlsTest::px(int id, int x, int y) {
  ControlWidget* c = Ctl_control(owner.get(), id);
  if (!c) return -1;  // no pixel has this colour
  return colourOf(c->image().pixel(x, y));
}

QImage ControlsTest::image(int id) {
  ControlWidget* c = Ctl_control(owner.get(), id);
  return c ? c->image().copy() : QImage();
}

void ControlsTest::cursorAt(int x, int y) { mouse.move(owner->mapToGlobal(QPoint(x, y))); }

int ControlsTest::count(int id, Colour c) {
  QImage img = image(id);
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      if (colourOf(img.pixel(x, y)) == c) ++n;
    }
  return n;
}

Colour colourOf(QRgb p) { return RGB(qRed(p), qGreen(p), qBlue(p)); }

std::pair<int, int> columns(const QImage& img, Colour c) {
  int lo = -1, hi = -1;
  for (int x = 0; x < img.width(); ++x)
    for (int y = 0; y < img.height(); ++y)
      if (colourOf(img.pixel(x, y)) == c) {
        if (lo < 0) lo = x;
        hi = x;
      }
  return {lo, hi};
}

}  // namespace zt
