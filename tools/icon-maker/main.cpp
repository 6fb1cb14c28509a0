// icon-maker consolle|lettore SIZE FILE.png: draws a program's icon, SIZE x
// SIZE pixels, as a PNG with a transparent surround.
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/logo-maker/icon.h"

int main(int argc, char** argv) {
  const std::string kind = argc == 4 ? argv[1] : "";
  const int size = argc == 4 ? std::atoi(argv[2]) : 0;
  if ((kind != "consolle" && kind != "lettore") || size < 16 || size > 1024) {
    std::fprintf(stderr, "usage: icon-maker consolle|lettore SIZE FILE.png (SIZE 16 to 1024)\n");
    return 2;
  }
  const zt::Icon icon =
      zt::Icon_draw(kind == "consolle" ? zt::IconKind::console : zt::IconKind::player, size);
  QImage image(size, size, QImage::Format_ARGB32);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      uint8_t r, g, b, alpha, unused;
      icon.colour.bytes(x, y, r, g, b);
      icon.cover.bytes(x, y, alpha, unused, unused);
      image.setPixel(x, y, qRgba(r, g, b, alpha));
    }
  }
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "icon-maker: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
