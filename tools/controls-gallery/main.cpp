// controls-gallery: shows every control of the custom control library.
// With --screenshot FILE.png it draws the window once off screen, writes the
// picture and ends.
#include "tools/controls-gallery/gallery.h"

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  const char* screenshot = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
      screenshot = argv[++i];
    else if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("usage: controls-gallery [--screenshot FILE.png]\n");
      return 0;
    }
  }
  if (screenshot && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("ZT controls"));
  window.resize(1000, 700);
  zt::Gallery_build(&window);
  window.show();
  if (!screenshot) return app.exec();
  app.processEvents();
  if (!window.grab().save(QString::fromLocal8Bit(screenshot))) {
    std::fprintf(stderr, "controls-gallery: cannot write %s\n", screenshot);
    return 1;
  }
  return 0;
}
