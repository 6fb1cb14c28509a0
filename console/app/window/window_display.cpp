#include "console/app/window/window_display.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>

#include "console/app/window/console_proc.h"
#include "console/app/window/console_window.h"
#include "console/app/window/keyboard_display.h"
#include "console/app/window/standard_lists.h"
#include "console/engine/console_state.h"
#include "controls/buttons_lamps.h"
#include "controls/control_widget.h"
#include "controls/meters.h"
#include "controls/text_display.h"

namespace zt {

namespace {

WindowDisplay windowDisplay;
int wakeFd = -1;
std::unique_ptr<QSocketNotifier> wakeNotifier;
// Draws what the player's requests left kept. Started by the first kept
// request, not by the ones after it, so that a steady stream of requests is
// still drawn every kHoldMs.
std::unique_ptr<QTimer> flushTimer;

// Runs on the MIDI input thread: one write to the eventfd.
void wakeWindow(void*) {
  const uint64_t one = 1;
  if (wakeFd >= 0) {
    ssize_t n = ::write(wakeFd, &one, sizeof one);
    (void)n;  // a full counter still wakes the window
  }
}

void drainOnWindowThread() {
  uint64_t count = 0;
  ssize_t n = ::read(wakeFd, &count, sizeof count);
  (void)n;
  windowDisplay.beginBatch();
  Display_drain();
  windowDisplay.endBatch();
}

bool controlExists(int id) { return mainWindow && Ctl_control(mainWindow, id); }

}  // namespace

bool WindowDisplay::coalesce(const DisplayRequest& r) {
  if (r.kind == DisplayKind::indicator && r.id >= kIndicatorBase && r.id < kIndicatorBase + 16) {
    indicators_[r.id - kIndicatorBase] = r;
    indicatorWaiting_[r.id - kIndicatorBase] = true;
    return true;
  }
  if (r.kind == DisplayKind::status) {
    status_ = r;
    statusWaiting_ = true;
    return true;
  }
  if (r.kind == DisplayKind::note) {
    note_ = r;
    noteWaiting_ = true;
    return true;
  }
  return false;
}

void WindowDisplay::display(const DisplayRequest& r) {
  if (holding_) {
    if (coalesce(r)) return;
    if (keptCount_ == kKeptMax) {
      // Drawn now rather than lost; the hold goes on.
      for (size_t i = 0; i < keptCount_; ++i) draw(keptRequests_[i]);
      keptCount_ = 0;
    }
    keptRequests_[keptCount_++] = r;
    return;
  }
  flush();
  if (batching_ && coalesce(r)) return;
  draw(r);
}

void WindowDisplay::beginBatch() {
  flush();
  batching_ = true;
}

void WindowDisplay::endBatch() {
  batching_ = false;
  drawCoalesced();
}

void WindowDisplay::holdBegin() {
  if (!keptRequests_) keptRequests_ = std::make_unique<DisplayRequest[]>(kKeptMax);
  holding_ = true;
  kept_ = true;
}

void WindowDisplay::flush() {
  if (!kept_ || holding_) return;
  kept_ = false;
  for (size_t i = 0; i < keptCount_; ++i) draw(keptRequests_[i]);
  keptCount_ = 0;
  drawCoalesced();
}

void WindowDisplay::drawCoalesced() {
  for (int c = 0; c < 16; ++c)
    if (indicatorWaiting_[c]) {
      indicatorWaiting_[c] = false;
      draw(indicators_[c]);
    }
  if (statusWaiting_) {
    statusWaiting_ = false;
    draw(status_);
  }
  if (noteWaiting_) {
    noteWaiting_ = false;
    draw(note_);
  }
}

void WindowDisplay::draw(const DisplayRequest& r) {
  if (r.kind == DisplayKind::log) {
    MessageLog_add(std::string(r.text.view()));
    return;
  }
  if (!mainWindow) return;
  switch (r.kind) {
    case DisplayKind::keyboard: Keyboard_draw(r.id, r.key, r.colour); break;
    case DisplayKind::indicator:
      if (controlExists(r.id)) Ctl_roundlampset(mainWindow, r.id, static_cast<float>(r.level), "");
      break;
    case DisplayKind::status:
    case DisplayKind::note:
      if (controlExists(r.id)) Ctl_displayset(mainWindow, r.id, std::string(r.text.view()));
      break;
    case DisplayKind::registerButton: {
      if (!controlExists(r.id)) break;
      const int reg = r.id - kRegisterButtonBase;
      std::string caption(r.text.view());
      if (r.captionIsLabel && reg >= 1 && reg <= kRegisters) caption = consoleState.regName[reg];
      Ctl_meterset(mainWindow, r.id, static_cast<float>(r.level), caption);
      // The stored program number travels with the button (its user value 6).
      if (reg >= 1 && reg <= kRegisters)
        Ctl_setslot(mainWindow, r.id, 6, consoleState.regButtonProgram[reg]);
      break;
    }
    case DisplayKind::meter:
      if (controlExists(r.id))
        Ctl_meterset(mainWindow, r.id, static_cast<float>(r.level), std::string(r.text.view()));
      break;
    case DisplayKind::log: break;
  }
}

void WindowDisplay::sendFailure(std::string_view message) {
  // A failure while the console is ending (its all notes off on an output
  // that does not work) goes to the log: a message box would hold the end
  // up, with nobody there to dismiss it when a signal ended the console.
  if (Console_ending()) {
    Log_line(std::string(message));
    return;
  }
  Window_message(std::string(message));
  Console_end(0);
}

void WindowDisplay_start() {
  Display_attach(&windowDisplay);
  if (wakeFd < 0) wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd >= 0 && !wakeNotifier) {
    wakeNotifier = std::make_unique<QSocketNotifier>(wakeFd, QSocketNotifier::Read);
    QObject::connect(wakeNotifier.get(), &QSocketNotifier::activated,
                     [] { drainOnWindowThread(); });
  }
  Display_setwake(wakeWindow, nullptr);
  // Whatever arrived before the wake was set is drawn now.
  Display_drain();
}

void WindowDisplay_holdbegin() {
  if (!windowDisplay.waiting()) {
    if (!flushTimer) {
      flushTimer = std::make_unique<QTimer>();
      flushTimer->setSingleShot(true);
      flushTimer->setTimerType(Qt::PreciseTimer);
      QObject::connect(flushTimer.get(), &QTimer::timeout, [] { windowDisplay.flush(); });
    }
    flushTimer->start(kHoldMs);
  }
  windowDisplay.holdBegin();
}

void WindowDisplay_holdend() {
  windowDisplay.holdEnd();
  // The timer may have fired within the hold (in a message box's loop).
  if (windowDisplay.waiting() && flushTimer && !flushTimer->isActive()) flushTimer->start(kHoldMs);
}

void WindowDisplay_flush() { windowDisplay.flush(); }

void WindowDisplay_stop() {
  Display_setwake(nullptr, nullptr);
  Display_drain();
  windowDisplay.holdEnd();
  windowDisplay.flush();
  flushTimer.reset();
  Display_attach(nullptr);
  wakeNotifier.reset();
  if (wakeFd >= 0) ::close(wakeFd);
  wakeFd = -1;
}

}  // namespace zt
