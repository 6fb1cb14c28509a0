#pragma once
// How the engine shows its work. Every display request is one-way: the engine
// passes a key, a level or a text and reads nothing back, so what it sends to
// the MIDI output never depends on the display.
//
// Requests made on the window thread go straight to the window's sink, after
// whatever the queue still holds, so the sink sees the requests of both
// threads in the order in which they were made.
// Requests made on any other thread (the MIDI input driver's) go into a
// bounded lock-free queue that the window thread drains; when it is full the
// oldest requests are dropped, never the caller's MIDI output. A send failure
// is kept apart from the queue so that it is never dropped: the first one
// wins and the window closes with its message.
#include <cstdint>
#include <string_view>

#include "common/number_text.h"
#include "console/engine/control_ids.h"

namespace zt {

enum class DisplayKind : uint8_t {
  keyboard,        // id: keyboard display 100/101, key, colour
  indicator,       // id: channel indicator 130..145, level
  status,          // id: status display 2620, text
  note,            // id: note display 119, text
  registerButton,  // id: register button 1000+r, level, text: caption, or
                   // captionIsLabel: the caption is the register's label
  log,             // id: message log 110, text
  meter,           // id: a register's meter control (volume bar, shift bar,
                   // pan switch, program or multi-note stepper), level: the
                   // percentage (kLevelUnchanged keeps it), text: caption
};

// A keyboard display's key index is the note less kKeyOffset: key 1 is
// note 24, and the 72 keys reach note 95.
constexpr int kKeyOffset = 23;

// Keyboard colour codes besides real colours: kColourAllKeys redraws the
// whole keyboard with no key marked, kColourNatural restores one key's own
// look (white or black).
constexpr int32_t kColourAllKeys = -1;
constexpr int32_t kColourNatural = -2;

// Channel indicator levels: a note going out on the channel, a note released.
constexpr int kLampOn = 128;
constexpr int kLampOff = 28;

// The level of a Meter request that leaves the control's level as it is and
// only sets the caption.
constexpr double kLevelUnchanged = -2;

struct DisplayRequest {
  DisplayKind kind = DisplayKind::log;
  int32_t id = 0;
  int32_t key = 0;     // Keyboard: the key index (note - kKeyOffset)
  int32_t colour = 0;  // Keyboard: a colour, kColourAllKeys or kColourNatural
  double level = 0;    // Indicator, RegisterButton, Meter (unrounded percentage)
  // RegisterButton requests made off the window thread: the window takes the
  // caption from the register's current label, which only it may read.
  bool captionIsLabel = false;
  FixedText<256> text;  // longer texts are cut
  bool operator==(const DisplayRequest& o) const {
    return kind == o.kind && id == o.id && key == o.key && colour == o.colour && level == o.level &&
           captionIsLabel == o.captionIsLabel && text.view() == o.text.view();
  }
};

class DisplaySink {
 public:
  virtual ~DisplaySink() = default;
  virtual void display(const DisplayRequest& request) = 0;
  // A MIDI send failed: show the message and close the console's window.
  virtual void sendFailure(std::string_view message) = 0;
};

// Makes `sink` the receiver of display requests and the calling thread the
// window thread. nullptr detaches (requests from the window thread are then
// dropped).
void Display_attach(DisplaySink* sink);
// Called (from any thread, never blocking) when the queue gets its first
// request after a drain or a failure is waiting: the window schedules a
// Display_drain() on its own thread. The function must not block.
void Display_setwake(void (*wake)(void* user), void* user);
// Window thread: hands every queued request and a waiting send failure to
// the sink. Returns the number of requests handed over.
size_t Display_drain();
// Forgets queued requests and any send failure (a new run, or a test).
void Display_reset();
// Requests dropped because the queue was full, since the last reset.
uint64_t Display_dropped();

// Starts a new batch of requests on this thread. Within a batch a text-less
// request identical to the one just before it from the same thread is
// redundant and is not queued again (the 32 registers of one key light the
// same indicator).
void Display_batch();

void Display_request(const DisplayRequest& request);
void Display_keyboard(int display, int key, int32_t colour);
void Display_indicator(int channel, int level);
void Display_status(std::string_view text);
void Display_note(std::string_view text);
void Display_register(int r, std::string_view caption, int level);
// Sets a meter control's caption and level (a percentage, passed unrounded;
// kLevelUnchanged sets the caption only).
void Display_meter(int id, std::string_view caption, double level);
// Appends a line to the message log and selects it.
void Log_line(std::string_view text);
// Reports a failed MIDI send: the window shows `message` and closes.
void Display_failure(std::string_view message);

}  // namespace zt
