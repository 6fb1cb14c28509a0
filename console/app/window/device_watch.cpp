#include "console/app/window/device_watch.h"

#include <QCoreApplication>
#include <QTimer>
#include <atomic>

#include "console/engine/engine.h"

namespace zt {

namespace {

struct Watching {
  PortWatchOpener open;
  std::unique_ptr<MidiPortWatch> watch;
  QTimer look;   // one look at the ports once a burst of changes has settled
  QTimer retry;  // opening the watch again while there is none
};

std::unique_ptr<Watching> watching;
// Changes reported for a watch that has since stopped are not looked at.
std::atomic<unsigned> generation{0};

// Runs on the watch's thread: only posts.
void reportChange(unsigned forGeneration) {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [forGeneration] {
        if (watching && forGeneration == generation.load()) watching->look.start(kSettleMs);
      },
      Qt::QueuedConnection);
}

void openWatch() {
  Watching& w = *watching;
  if (w.watch && w.watch->alive()) return;
  enginePlatform.portWatch = nullptr;
  w.watch.reset();
  const unsigned g = generation.load();
  if (w.open) w.watch = w.open([g] { reportChange(g); });
  enginePlatform.portWatch = w.watch.get();
  if (w.watch) w.look.start(0);
}

}  // namespace

void DeviceWatch_start(const PortWatchOpener& open, bool autoconnect) {
  DeviceWatch_stop();
  Midi_hotplugreset();
  enginePlatform.autoconnect = autoconnect;
  watching = std::make_unique<Watching>();
  watching->open = open;
  watching->look.setSingleShot(true);
  QObject::connect(&watching->look, &QTimer::timeout, [] {
    // A dialog changing a device: look again a moment later.
    if (!Midi_hotplug()) watching->look.start(kSettleMs);
  });
  QObject::connect(&watching->retry, &QTimer::timeout, [] { openWatch(); });
  openWatch();
  watching->retry.start(kRetryMs);
  // The ports there are at start are looked at once the window runs.
  watching->look.start(0);
}

void DeviceWatch_stop() {
  generation.fetch_add(1);
  enginePlatform.portWatch = nullptr;
  if (!watching) return;
  watching->look.stop();
  watching->retry.stop();
  watching->watch.reset();  // no report comes after this
  watching.reset();
}

}  // namespace zt
