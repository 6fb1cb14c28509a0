// How long the control updates take that the console makes on every note:
// a channel lamp, a volume bar, the status display and a whole register
// panel. The window is shown (offscreen unless a display is set), so every
// figure includes putting the new image on screen.
#include "controls/controls.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>

namespace zt {
namespace {

std::unique_ptr<QWidget> window;

QWidget* owner() {
  if (!window) {
    ControlTable_create();
    Ctl_setbackground(RGB(72, 76, 88));
    window = std::make_unique<QWidget>();
    window->resize(1030, 700);
    window->show();
  }
  return window.get();
}

void BM_roundlampset(benchmark::State& state) {
  QWidget* o = owner();
  Ctl_roundlamp(o, 130, 110, 341, 20, 20, "", 2, "", 100, "rosso", "0", RGB(192, 192, 192));
  int k = 0;
  for (auto _ : state) Ctl_roundlampset(o, 130, (++k & 1) ? 128.0f : 28.0f, "");
}
BENCHMARK(BM_roundlampset);

// The share of the figures above that only puts a control on screen.
void BM_repaint_only(benchmark::State& state) {
  QWidget* o = owner();
  Ctl_roundlamp(o, 131, 134, 341, 20, 20, "", 2, "", 100, "rosso", "1", RGB(192, 192, 192));
  QWidget* lamp = Ctl_window(o, 131);
  for (auto _ : state) lamp->repaint();
}
BENCHMARK(BM_repaint_only);

void BM_meterset_bar(benchmark::State& state) {
  QWidget* o = owner();
  Ctl_meter(o, 1101, 3, 35, 120, 14, "", 0, "grigio", 0, 10, "", RGB(255, 255, 255), "ori_blurosso",
            "rosso", 0);
  int k = 0;
  for (auto _ : state) Ctl_meterset(o, 1101, float((++k * 7) % 101), "");
}
BENCHMARK(BM_meterset_bar);

void BM_displayset(benchmark::State& state) {
  QWidget* o = owner();
  int w = 540, h = 43;
  Ctl_display(o, 2620, 3, 640, w, h, "", 5, "verde", 0, 20, "", RGB(255, 0, 0), "", "", 5);
  const std::string texts[2] = {"Note On  ch  1  key  60  vel 100  C4  ok",
                                "Note Off ch 16  key 108  vel   0  C8  ok"};
  int k = 0;
  for (auto _ : state) Ctl_displayset(o, 2620, texts[++k & 1]);
}
BENCHMARK(BM_displayset);

// The console's 32 register cells, six meters each, all set to new values.
void BM_panel_redraw(benchmark::State& state) {
  QWidget* o = owner();
  for (int i = 1; i <= 32; ++i) {
    int c = (i - 1) % 8, r = (i - 1) / 8, X = 3 + 124 * c, Y = 3 + 79 * r;
    Ctl_meter(o, 1000 + i, X, Y, 120, 32, "", 3, "oro", 50, 0, "", RGB(200, 250, 150), "ori_rosso",
              "grigio", 0);
    Ctl_meter(o, 1100 + i, X, Y + 32, 120, 14, "", 0, "grigio", 0, 10, "", RGB(255, 255, 255),
              "ori_blurosso", "rosso", 0);
    Ctl_meter(o, 1300 + i, X, Y + 46, 120, 14, "", 0, "grigio", 0, 12, "", RGB(255, 255, 0),
              "ori_blurosso", "grigio", 2);
    Ctl_meter(o, 1200 + i, X, Y + 60, 40, 14, "", 0, "oro", 50, 0, "", RGB(200, 250, 150),
              "ori_rosso", "grigio", 0);
    Ctl_meter(o, 1400 + i, X + 40, Y + 60, 40, 14, "", 0, "grigio", 0, 0, "", RGB(255, 255, 255),
              "ori_rosso", "rosso", 0);
    Ctl_meter(o, 1500 + i, X + 80, Y + 60, 40, 14, "", 0, "grigio", 0, 0, "", RGB(255, 255, 255),
              "ori_rosso", "rosso", 0);
  }
  int k = 0;
  for (auto _ : state) {
    ++k;
    for (int i = 1; i <= 32; ++i) {
      const std::string n = std::to_string((i + k) % 128);
      Ctl_meterset(o, 1000 + i, (k & 1) ? 100.0f : 0.0f, "Registro " + n);
      Ctl_meterset(o, 1100 + i, float((i * 3 + k) % 101), n);
      Ctl_meterset(o, 1300 + i, float((i * 5 + k) % 101), n);
      Ctl_meterset(o, 1200 + i, float((i + k) % 101), "C");
      Ctl_meterset(o, 1400 + i, 0, n);
      Ctl_meterset(o, 1500 + i, 0, n);
    }
  }
  state.counters["meters"] = 192;
}
BENCHMARK(BM_panel_redraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zt

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  zt::window.reset();
  benchmark::Shutdown();
  return 0;
}
