#pragma once
// The engine's display requests drawn on the console window's controls.
//
// Requests from the window thread are drawn at once. Requests from the MIDI
// input thread wait in the engine's queue; the first one after a drain
// writes to an eventfd (never blocking, never allocating), whose notifier
// drains the queue on the window thread at its next turn of the event loop.
// A send failure shows its message in a message box, then the window ends.
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
  void beginBatch() { batching_ = true; }
  void endBatch();

 private:
  void draw(const DisplayRequest& request);
  bool batching_ = false;
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

}  // namespace zt
