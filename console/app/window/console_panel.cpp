#include "console/app/window/console_panel.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <string>

#include "common/number_text.h"
#include "console/app/window/console_window.h"
#include "console/app/window/keyboard_display.h"
#include "console/app/window/standard_lists.h"
#include "console/engine/control_ids.h"
#include "console/engine/display_seam.h"
#include "controls/buttons_lamps.h"
#include "controls/control_table.h"
#include "controls/control_widget.h"
#include "controls/knob.h"
#include "controls/meters.h"
#include "controls/text_display.h"
#include "controls/tooltips.h"

namespace zt {

namespace {

constexpr const char* kKeyboardTip =
    "Click sinistro suona, click destro attiva o disattiva scrittura nota sui tasti";

void tip(QWidget* owner, int id, const std::string& text) {
  if (QWidget* w = Ctl_window(owner, id)) Tip_set(w, text);
}

struct PushButton {
  int id;
  int x;
  const char* caption;
  bool green;
  const char* tooltip;  // nullptr: none
};

// In the order they are created.
constexpr PushButton kPushButtons[] = {
    {kButtonNoteOff, 3, "NOTE OFF", false, nullptr},
    {kButtonVolumesFull, 108, "Volumi 100%", true, "Mette al 100% tutti i volumi"},
    {kButtonRegistersFromTable, 213, "Registri da 1 a 32", false, "Registri da capo"},
    {kButtonRegistersOff, 318, "Registri OFF", false, "Registri oof"},
    {kButtonRegistersOn, 423, "Registri ON", true, "Registri on"},
    {kButtonResetMulti, 528, "RESET MULTI", false, "Multinote a 0"},
    {kButtonResetShift, 633, "RESET SHIFT", false, "Mette a 0 tutti gli shift"},
};

void registerCell(QWidget* owner, int i) {
  const int x = 3 + 124 * ((i - 1) % 8);
  const int y = 3 + 79 * ((i - 1) / 8);
  const Colour white = RGB(255, 255, 255);
  const Colour pale = RGB(200, 250, 150);
  Ctl_meter(owner, kRegisterButtonBase + i, x, y, 120, 32, "", 3, "oro", 50, 0, "", pale,
            "ori_rosso", "grigio", 0);
  tip(owner, kRegisterButtonBase + i, " Stop" + Text_str(i));
  Ctl_meter(owner, kVolumeBarBase + i, x, y + 32, 120, 14, "", 0, "grigio", 0, 10, "", white,
            "ori_blurosso", "rosso", 0);
  tip(owner, kVolumeBarBase + i, "Regolazione del Volume");
  Ctl_meter(owner, kShiftBarBase + i, x, y + 46, 120, 14, "", 0, "grigio", 0, 12, "",
            RGB(255, 255, 0), "ori_blurosso", "grigio", 2);
  tip(owner, kShiftBarBase + i, "Shift up/down");
  Ctl_meter(owner, kPanSwitchBase + i, x, y + 60, 40, 14, "", 0, "oro", 50, 0, "", pale,
            "ori_rosso", "grigio", 0);
  tip(owner, kPanSwitchBase + i, "Pan");
  Ctl_meter(owner, kProgramStepperBase + i, x + 40, y + 60, 40, 14, "+-", 0, "grigio", 0, 0, "",
            white, "ori_rosso", "rosso", 0);
  tip(owner, kProgramStepperBase + i, "Registro up/down");
  Ctl_meter(owner, kMultiStepperBase + i, x + 80, y + 60, 40, 14, "", 0, "grigio", 0, 0, "", white,
            "ori_rosso", "rosso", 0);
  tip(owner, kMultiStepperBase + i, "Multi note");
}

// Whether a bitmap file holds every byte its header declares: the file's
// size, and the pixel rows from the data offset on. Qt reads a bitmap cut
// short without complaint and leaves the missing rows unset (black, or
// whatever the memory held).
bool bitmapComplete(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const qint64 size = f.size();
  const QByteArray h = f.read(54);
  auto u16 = [&h](int at) {
    return at + 2 <= h.size() ? quint32(uchar(h[at])) | quint32(uchar(h[at + 1])) << 8 : 0u;
  };
  auto u32 = [&u16](int at) { return u16(at) | u16(at + 2) << 16; };
  if (h.size() < 26 || h[0] != 'B' || h[1] != 'M') return false;
  const qint64 declared = u32(2);
  if (declared > size) return false;
  qint64 width, height, bits;
  quint32 compression = 0, imageSize = 0;
  if (u32(14) == 12) {  // the old OS/2 header: 16-bit sizes
    width = u16(18);
    height = u16(20);
    bits = u16(24);
  } else {
    if (h.size() < 38) return false;
    width = qint32(u32(18));
    height = qint32(u32(22));
    bits = u16(28);
    compression = u32(30);
    imageSize = u32(34);
  }
  // Qt takes no image this large; the limit keeps the sums below exact.
  if (qAbs(width) > 1 << 20 || qAbs(height) > 1 << 20 || bits > 64) return false;
  // Uncompressed rows are padded to 4 bytes; a compressed image states its
  // size.
  const bool plain = compression == 0 || compression == 3 || compression == 6;
  const qint64 pixels =
      plain ? (qAbs(width) * bits + 31) / 32 * 4 * qAbs(height) : qint64(imageSize);
  return qint64(u32(10)) + pixels <= size;
}

}  // namespace

void Logo_draw(QWidget* owner) {
  ControlWidget* logo = Ctl_control(owner, kLogo);
  if (!logo) return;
  QImage picture;
  const QString file = QString::fromLatin1(kLogoFile);
  if (!QFileInfo(file).isFile())
    Log_line(std::string(kLogoFile) + " non trovato: colore della finestra predefinito");
  else if (!picture.load(file, "BMP") || picture.isNull())
    Log_line(std::string(kLogoFile) + " non leggibile: colore della finestra predefinito");
  else if (!bitmapComplete(file)) {
    picture = QImage();
    Log_line(std::string(kLogoFile) + " danneggiato: colore della finestra predefinito");
  }
  QImage& image = logo->image();
  if (picture.isNull()) {
    image.fill(Ctl_qcolour(kDefaultWindowColour));
  } else {
    QPainter p(&image);
    p.drawImage(QRect(0, 0, 300, 60), picture);
  }
  logo->repaint();
  const QRgb corner = image.pixel(1, 1);
  windowColor = RGB(qRed(corner), qGreen(corner), qBlue(corner));
  Ctl_setbackground(windowColor);
  QPalette palette = owner->palette();
  palette.setColor(QPalette::Window, QColor(qRed(corner), qGreen(corner), qBlue(corner)));
  owner->setPalette(palette);
}

void Console_controls(QWidget* owner) {
  Ctl_createwidget(owner, kLogo, 110, 360, 300, 60, false);
  Logo_draw(owner);

  Keyboard_create(owner, kKeyboardUpper, QRect(6, 440, 800, 64));
  Tip_set(Keyboard_display(kKeyboardUpper), kKeyboardTip);
  Keyboard_create(owner, kKeyboardLower, QRect(6, 509, 800, 64));
  Tip_set(Keyboard_display(kKeyboardLower), kKeyboardTip);

  ProgramList_create(owner);
  MessageLog_create(owner);

  int w = 540, h = 43;
  Ctl_display(owner, kStatusDisplay, 3, 640, w, h, "", 5, "verde", 0, 20, "", RGB(255, 0, 0), "",
              "", 5);
  w = 188;
  h = 43;
  Ctl_display(owner, kNoteDisplay, 550, 640, w, h, "", 5, "verde", 0, 27, "", RGB(0, 255, 0), "",
              "", 5);

  Ctl_knob(owner, kMasterVolumeKnob, 3, 320, 100, 100, "", 10, 24, -151, 151, 100);
  for (int k = 0; k < 4; ++k)
    Ctl_lamp(owner, kRunningLightBase + k, 108 + 40 * k, 320, 40, 16, "", 2, "oro", 0, "blu", "",
             0);
  for (int c = 0; c < 16; ++c)
    Ctl_roundlamp(owner, kIndicatorBase + c, 110 + 24 * c, 341, 20, 20, "", 2, "", 100, "rosso",
                  Text_trim(c), RGB(192, 192, 192));

  for (const PushButton& b : kPushButtons) {
    const char* style = b.green ? "verde" : "rosso";
    Ctl_button(owner, b.id, b.x, 600, 100, 26, "", 2, style, b.caption, RGB(255, 255, 255), style,
               2, 5);
    if (b.tooltip) tip(owner, b.id, b.tooltip);
  }

  for (int i = 1; i <= 32; ++i) registerCell(owner, i);
}

}  // namespace zt
