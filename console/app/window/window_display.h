#pragma once
// The engine's display requests drawn on the console window's controls.
//
// Requests from the window thread are drawn at once. Requests from the MIDI
// input thread wait in the engine's queue; the first one after a drain
// writes to an eventfd (never blocking, never allocating), whose notifier
// drains the queue on the window thread at its next turn of the event loop.
// A send failure shows its message in a message box, then the window ends.
//
// What a request of the player's shows is kept and drawn after the answer
// (WindowDisplay_holdbegin): the player waits for every answer inside its
// 10 ms tick. Kept requests are drawn within kHoldMs, or at once when
// anything else is to be drawn, so that the order of drawing stays the order
// of the requests.
#include <cstddef>
#include <memory>

#include "console/engine/display_seam.h"

namespace zt {

class WindowDisplay : public DisplaySink {
 public:
  void display(const DisplayRequest& request) override;
  void sendFailure(std::string_view message) override;
  // While a batch from the input thread is drawn, the channel indicators and
  // the two text displays show only their last request of the batch: under
  // a storm of notes each would otherwise be redrawn thousands of times a
  // second. Every other request is drawn as it comes.
  void beginBatch();
  void endBatch();
  // From holdBegin() to holdEnd() every request is kept, in order (the three
  // kinds above only their last, as in a batch); flush() draws them.
  void holdBegin();
  void holdEnd() { holding_ = false; }
  void flush();
  bool waiting() const { return kept_; }

 private:
  void draw(const DisplayRequest& request);
  // Takes an indicator, status or note request into the batch; false for
  // the other kinds.
  bool coalesce(const DisplayRequest& request);
  void drawCoalesced();
  bool batching_ = false;
  bool holding_ = false;
  // Requests have been kept since the last flush.
  bool kept_ = false;
  static constexpr size_t kKeptMax = 512;
  std::unique_ptr<DisplayRequest[]> keptRequests_;
  size_t keptCount_ = 0;
  DisplayRequest indicators_[16];
  bool indicatorWaiting_[16] = {};
  DisplayRequest status_, note_;
  bool statusWaiting_ = false, noteWaiting_ = false;
};

// Makes the window's sink the engine's and the calling thread the window
// thread; wakes the window for requests from other threads.
void WindowDisplay_start();
// Detaches the sink and stops the wake.
void WindowDisplay_stop();

// Window thread, around the handling of one request of the player's: what
// it shows is kept and drawn within kHoldMs, with what the requests after it
// show, or as soon as anything else is drawn.
inline constexpr int kHoldMs = 10;
void WindowDisplay_holdbegin();
void WindowDisplay_holdend();
// Draws whatever is kept now (before a pause, which lets no timer run).
void WindowDisplay_flush();

}  // namespace zt
