#include "tools/controls-gallery/gallery.h"

#include "controls/controls.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QWidget>
#include <string>

namespace zt {

namespace {

const Colour kWindow = RGB(72, 76, 88);

void label(QWidget* w, int x, int y, const char* text) {
  auto* l = new QLabel(QString::fromUtf8(text), w);
  l->setStyleSheet(QStringLiteral("color: rgb(230,230,230)"));
  l->move(x, y);
  l->adjustSize();
}

// Two small pictures for the picture button, written into the current
// directory (a temporary one) so that they load by their bare names.
std::string writePicture(const char* name, QColor colour, const char* text) {
  QImage img(80, 26, QImage::Format_RGB32);
  img.fill(colour);
  QPainter p(&img);
  p.setPen(Qt::white);
  p.drawRect(0, 0, 79, 25);
  p.drawText(img.rect(), Qt::AlignCenter, QString::fromLatin1(text));
  p.end();
  img.save(QString::fromLatin1(name), "BMP");
  return name;
}

}  // namespace

void Gallery_build(QWidget* w) {
  ControlTable_create();
  Ctl_setbackground(kWindow);
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, Ctl_qcolour(kWindow));
  w->setPalette(pal);
  w->setAutoFillBackground(true);

  int id = 1;
  const Colour white = RGB(255, 255, 255);

  // Horizontal meters: each kind at three values.
  label(w, 10, 6, "Horizontal meters at 25, 60 and 95 (scale 10)");
  const char* ori[] = {"ori_blurosso", "ori_vmeter", "ori_rosso", "ori_ago", "ori_agone"};
  const char* oriFace[] = {"rosso", "grigio", "grigio", "oro", "verde"};
  const float values[] = {25, 60, 95};
  for (int k = 0; k < 5; ++k) {
    for (int v = 0; v < 3; ++v) {
      int x = 10 + v * 130, y = 26 + k * 30;
      Ctl_meter(w, id, x, y, 120, 24, "", 2, "grigio", 0, 10, "%", white, ori[k], oriFace[k], 0);
      Ctl_meterset(w, id, values[v], "");
      ++id;
    }
    label(w, 400, 30 + k * 30, ori[k]);
  }
  // The console's register bars: volume and shift at their usual size.
  label(w, 10, 180, "Register cell");
  Ctl_meter(w, id, 10, 200, 120, 32, "", 3, "oro", 50, 0, "Principale 8'", RGB(200, 250, 150),
            "ori_rosso", "grigio", 0);
  Ctl_meterset(w, id++, 100, "");
  Ctl_meter(w, id, 10, 232, 120, 14, "", 0, "grigio", 0, 10, "", white, "ori_blurosso", "rosso", 0);
  Ctl_meterset(w, id++, 78, "78");
  Ctl_meter(w, id, 10, 246, 120, 14, "", 0, "grigio", 0, 12, "", RGB(255, 255, 0), "ori_blurosso",
            "grigio", 2);
  Ctl_meterset(w, id++, 50, " 0");
  Ctl_meter(w, id, 10, 260, 40, 14, "", 0, "oro", 50, 0, "", RGB(200, 250, 150), "ori_rosso",
            "grigio", 0);
  Ctl_meterset(w, id++, 50, "C");
  Ctl_meter(w, id, 50, 260, 40, 14, "", 0, "grigio", 0, 0, "", white, "ori_rosso", "rosso", 0);
  Ctl_meterset(w, id++, 0, "19");
  Ctl_meter(w, id, 90, 260, 40, 14, "", 0, "grigio", 0, 0, "", white, "ori_rosso", "rosso", 0);
  Ctl_meterset(w, id++, 0, "0");

  // Meter with the "!" format and a frame instead of a bevel.
  label(w, 150, 180, "\"!\" format (scale 20); frames, modes 1, 3, 4");
  Ctl_meter(w, id, 150, 200, 120, 24, "", 2, "grigio", 0, 20, "!", white, "ori_blurosso", "grigio",
            0);
  Ctl_meterset(w, id++, 25, "");
  for (int m = 0; m < 3; ++m) {
    int modes[] = {1, 3, 4};
    Ctl_meter(w, id, 150 + m * 42, 232, 38, 42, "", 2, "oro", 0, 0, "", white, "", "verde",
              modes[m]);
    Ctl_meterset(w, id++, 0, std::to_string(modes[m]));
  }

  // Vertical meters.
  label(w, 470, 6, "Vertical meters at 25, 60 and 95");
  const char* ver[] = {"ver_blurosso", "ver_vmeter", "ver_ago", "ver_agone"};
  for (int k = 0; k < 4; ++k) {
    for (int v = 0; v < 3; ++v) {
      int x = 470 + k * 100 + v * 30, y = 26;
      Ctl_meter(w, id, x, y, 26, 120, "", 2, "grigio", 0, 10, "", white, ver[k], "oro", 2);
      Ctl_meterset(w, id, values[v], "");
      ++id;
    }
    label(w, 470 + k * 100, 150, ver[k]);
  }

  // Text displays as the console makes them.
  label(w, 10, 286, "Text display: centred, \"<\" and \">\"; note display");
  const char* texts[] = {"Note On  ch 1  C4  vel 100", "<Preset consolle caricato", ">Fine brano"};
  for (int k = 0; k < 3; ++k) {
    int dw = 540, dh = 43;
    Ctl_display(w, id, 10, 306 + k * 48, dw, dh, "", 5, "verde", 0, 20, "", RGB(255, 0, 0), "", "",
                5);
    Ctl_displayset(w, id++, texts[k]);
  }
  {
    int dw = 188, dh = 43;
    Ctl_display(w, id, 560, 306, dw, dh, "", 5, "verde", 0, 27, "", RGB(0, 255, 0), "", "", 5);
    Ctl_displayset(w, id++, "C#4");
  }

  // Buttons at rest and on.
  label(w, 10, 456, "Buttons at rest and on; picture button; \"/\" button");
  const char* bcap[] = {"NOTE OFF", "Volumi 100%", "Pausa/Pausato", "OFF/ON"};
  const char* bface[] = {"rosso", "verde", "rosso", "verde"};
  for (int k = 0; k < 4; ++k) {
    for (int s = 0; s < 2; ++s) {
      Ctl_button(w, id, 10 + k * 105, 476 + s * 30, 100, 26, "", 2, bface[k], bcap[k], white,
                 bface[k], 2, 5);
      if (s == 1) Ctl_buttonflip(w, id, "");
      ++id;
    }
  }
  QDir::setCurrent(QDir::tempPath());
  std::string on = writePicture("zt-gallery-on.bmp", QColor(40, 140, 60), "ON");
  std::string rest = writePicture("zt-gallery-rest.bmp", QColor(140, 40, 40), "REST");
  for (int s = 0; s < 2; ++s) {
    Ctl_button(w, id, 430, 476 + s * 30, 80, 26, on + "/" + rest, 2, "rosso", "", white, "rosso", 2,
               5);
    if (s == 1) Ctl_buttonflip(w, id, "");
    ++id;
  }
  for (int s = 0; s < 2; ++s) {
    Ctl_button(w, id, 515, 476 + s * 30, 80, 26, "/", 2, "pulsanteblu", "", white, "pulsanteblu", 0,
               4);
    if (s == 1) Ctl_buttonflip(w, id, "");
    ++id;
  }

  // Rectangular lamps: ramps by intensity.
  label(w, 10, 540, "Lamps (ledr) at 0, 28, 55, 100: blu, verdino, rosso, rosso-giallo, semaforo");
  const char* ramps[] = {"blu", "verdino", "rosso", "rosso-giallo", "semaforo"};
  const float lit[] = {0, 28, 55, 100};
  for (int r = 0; r < 5; ++r) {
    for (int k = 0; k < 4; ++k) {
      Ctl_lamp(w, id, 10 + k * 44 + r * 184, 560, 40, 16, "", 2, "oro", 0, ramps[r], "", 0);
      Ctl_lampset(w, id++, lit[k], "");
    }
  }
  // Round lamps: the channel indicators, dim and bright.
  label(w, 10, 584, "Round lamps at 0, 28, 128 (rosso, verdino, blu-scuro) and 16 channel lamps");
  const char* rramps[] = {"rosso", "verdino", "blu-scuro"};
  const float rlit[] = {0, 28, 128};
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 3; ++k) {
      Ctl_roundlamp(w, id, 10 + (r * 3 + k) * 24, 604, 20, 20, "", 2, "", 100, rramps[r], "", 0);
      Ctl_roundlampset(w, id++, rlit[k], "");
    }
  }
  for (int c = 0; c < 16; ++c) {
    Ctl_roundlamp(w, id, 240 + c * 24, 604, 20, 20, "", 2, "", 100, "rosso", std::to_string(c),
                  RGB(192, 192, 192));
    Ctl_roundlampset(w, id++, c % 3 == 0 ? 128 : (c % 3 == 1 ? 28 : 0), "");
  }
  label(w, 10, 630, "Round lamps 40 x 40, bevel 0 and 5");
  Ctl_roundlamp(w, id, 10, 650, 40, 40, "", 0, "", 0, "verdino", "", 0);
  Ctl_roundlampset(w, id++, 100, "");
  Ctl_roundlamp(w, id, 56, 650, 40, 40, "", 5, "", 0, "blu", "", 0);
  Ctl_roundlampset(w, id++, 60, "");

  // Knobs: the master volume at 100 % and one turned to -60 degrees.
  label(w, 780, 180, "Knobs: 100 % and -60 degrees");
  Ctl_knob(w, id++, 780, 200, 100, 100, "", 10, 24, -151, 151, 100);
  Ctl_knob(w, id, 890, 200, 100, 100, "", 10, 24, -151, 151, 0);
  Ctl_knobset(w, id++, -60);
}

}  // namespace zt
