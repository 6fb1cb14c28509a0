#include "console/engine/display_seam.h"

#include <atomic>
#include <cstring>
#include <thread>

#include "common/bounded_queue.h"

namespace zt {

namespace {

constexpr size_t kQueueSize = 4096;

BoundedQueue<DisplayRequest> queue{kQueueSize};
std::atomic<DisplaySink*> sink{nullptr};
std::atomic<std::thread::id> windowThread{};
std::atomic<void (*)(void*)> wakeFn{nullptr};
std::atomic<void*> wakeUser{nullptr};
std::atomic<bool> wakePending{false};
std::atomic<uint64_t> dropped{0};

// The first send failure: 0 none, 1 being written, 2 waiting, 3 handed over.
std::atomic<int> failureState{0};
char failureText[96];

// The last text-less request queued by this thread in the current batch
// (keyboard marks, indicators, register buttons: the ones a key repeats).
// Plain data, so the thread-local needs no construction on each use.
struct LastRequest {
  bool valid;
  DisplayKind kind;
  int32_t id, key, colour;
  double level;
  bool captionIsLabel;
};
thread_local LastRequest lastQueued{};

bool repeatsLast(const DisplayRequest& r) {
  const LastRequest& l = lastQueued;
  return l.valid && r.text.empty() && l.kind == r.kind && l.id == r.id && l.key == r.key &&
         l.colour == r.colour && l.level == r.level && l.captionIsLabel == r.captionIsLabel;
}

void rememberLast(const DisplayRequest& r) {
  if (r.text.empty())
    lastQueued = {true, r.kind, r.id, r.key, r.colour, r.level, r.captionIsLabel};
  else
    lastQueued.valid = false;
}

bool onWindowThread() {
  return std::this_thread::get_id() == windowThread.load(std::memory_order_relaxed);
}

void wake() {
  if (!wakePending.exchange(true)) {
    auto fn = wakeFn.load();
    if (fn) fn(wakeUser.load());
  }
}

// Hands every queued request to the sink, oldest first.
size_t drainQueue(DisplaySink* s) {
  size_t n = 0;
  DisplayRequest request;
  while (queue.pop(request)) {
    ++n;
    if (s) s->display(request);
  }
  return n;
}

}  // namespace

void Display_attach(DisplaySink* s) {
  windowThread.store(std::this_thread::get_id());
  sink.store(s);
}

void Display_setwake(void (*fn)(void*), void* user) {
  wakeUser.store(user);
  wakeFn.store(fn);
}

size_t Display_drain() {
  wakePending.store(false);
  DisplaySink* s = sink.load();
  size_t n = drainQueue(s);
  int expected = 2;
  if (failureState.compare_exchange_strong(expected, 3) && s) s->sendFailure(failureText);
  return n;
}

void Display_reset() {
  DisplayRequest request;
  while (queue.pop(request)) {}
  failureState.store(0);
  dropped.store(0);
  wakePending.store(false);
  lastQueued.valid = false;
}

uint64_t Display_dropped() { return dropped.load(); }

void Display_batch() { lastQueued.valid = false; }

void Display_request(const DisplayRequest& request) {
  if (onWindowThread()) {
    // What the input thread queued before this request was made is shown
    // first, so that a reset drawn here (all notes off) is never painted
    // over by an older key mark. The scheduled drain, if any, stays
    // scheduled and finds what comes later.
    DisplaySink* s = sink.load();
    drainQueue(s);
    if (s) s->display(request);
    return;
  }
  if (repeatsLast(request)) return;
  rememberLast(request);
  // When full, make room by dropping the oldest request: the newest state
  // is the one worth showing.
  for (int attempt = 0; !queue.push(request); ++attempt) {
    DisplayRequest oldest;
    if (queue.pop(oldest)) dropped.fetch_add(1, std::memory_order_relaxed);
    if (attempt > 8) {
      dropped.fetch_add(1, std::memory_order_relaxed);
      return;
    }
  }
  wake();
}

void Display_keyboard(int display, int key, int32_t colour) {
  DisplayRequest r;
  r.kind = DisplayKind::keyboard;
  r.id = display;
  r.key = key;
  r.colour = colour;
  Display_request(r);
}

void Display_indicator(int channel, int level) {
  DisplayRequest r;
  r.kind = DisplayKind::indicator;
  r.id = kIndicatorBase + channel;
  r.level = level;
  Display_request(r);
}

static void textRequest(DisplayKind kind, int id, std::string_view text) {
  DisplayRequest r;
  r.kind = kind;
  r.id = id;
  r.text.add(text);
  Display_request(r);
}

void Display_status(std::string_view text) {
  textRequest(DisplayKind::status, kStatusDisplay, text);
}

void Display_note(std::string_view text) { textRequest(DisplayKind::note, kNoteDisplay, text); }

void Log_line(std::string_view text) { textRequest(DisplayKind::log, kMessageLog, text); }

void Display_register(int r, std::string_view caption, int level) {
  DisplayRequest q;
  q.kind = DisplayKind::registerButton;
  q.id = kRegisterButtonBase + r;
  q.level = level;
  q.text.add(caption);
  Display_request(q);
}

void Display_meter(int id, std::string_view caption, double level) {
  DisplayRequest q;
  q.kind = DisplayKind::meter;
  q.id = id;
  q.level = level;
  q.text.add(caption);
  Display_request(q);
}

void Display_failure(std::string_view message) {
  int expected = 0;
  if (!failureState.compare_exchange_strong(expected, 1)) return;  // the first failure wins
  size_t n = message.size() < sizeof failureText - 1 ? message.size() : sizeof failureText - 1;
  std::memcpy(failureText, message.data(), n);
  failureText[n] = 0;
  failureState.store(2);
  if (onWindowThread())
    Display_drain();
  else
    wake();
}

}  // namespace zt
