// The console's side of the link on arbitrary bytes: the first byte chooses
// how the rest is cut into reads, the rest is the stream a player sent.
// Every frame handed out must be well formed, nothing may be handed out
// after a malformed one, and every frame the console would play goes through
// the engine (registers drawn with shifts and added notes that push notes
// past the MIDI range) onto a memory output: whatever reaches that output
// must be whole MIDI messages, a status byte and data bytes below 0x80.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "console/engine/engine.h"
#include "platform/link/link_frame.h"
#include "platform/midi/memory_midi.h"
#include "tests/support/fuzz_input.h"

namespace {

using zt::test::Fuzz_check;

class NoDisplay : public zt::DisplaySink {
 public:
  void display(const zt::DisplayRequest&) override {}
  void sendFailure(std::string_view) override {}
};

struct Console {
  Console() {
    out->addDriver(outDriver);
    zt::State_reset();
    zt::Engine_attach(*out, *in);
    zt::enginePlatform.closeWaitMs = 0;
    zt::Display_attach(&display);
    zt::Midi_openout(0);
    const int shifts[4] = {0, -24, 36, 12};
    for (int r = 1; r <= 4; ++r) {
      zt::Reg_setname(r, "19 Church Organ");
      zt::consoleState.regOn[r] = 1;
      zt::consoleState.regVolume[r] = 255;
      zt::consoleState.regShift[r] = shifts[r - 1];
      zt::consoleState.regMulti[r] = r == 3 ? 12 : 0;
    }
  }
  std::shared_ptr<zt::MemoryMidiOutDriver> outDriver =
      std::make_shared<zt::MemoryMidiOutDriver>(std::vector<std::string>{"Synth"}, 4096);
  std::unique_ptr<zt::MidiOut> out = std::make_unique<zt::MidiOut>();
  std::unique_ptr<zt::MidiIn> in = std::make_unique<zt::MidiIn>();
  NoDisplay display;
};

bool WholeMessage(uint32_t m) {
  return (m & 0xFF) >= 0x80 && ((m >> 8) & 0xFF) < 0x80 && ((m >> 16) & 0xFF) < 0x80 &&
         (m >> 24) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Console console;
  if (size == 0) return 0;
  const size_t chunk = 1 + data[0] % 16;
  ++data;
  --size;
  zt::LinkDecoder decoder;
  size_t at = 0;
  size_t frames = 0;
  bool failed = false;
  while (at < size && !failed) {
    const size_t offered = size - at < chunk ? size - at : chunk;
    const size_t taken = decoder.feed(data + at, offered);
    at += taken;
    zt::LinkFrame frame;
    for (;;) {
      const auto r = decoder.next(frame);
      if (r == zt::LinkDecoder::Result::needMore) break;
      if (r == zt::LinkDecoder::Result::malformed) {
        failed = true;
        break;
      }
      Fuzz_check(zt::Link_framevalid(frame));
      ++frames;
      if (!zt::Link_frameplayable(frame)) continue;
      console.outDriver->clear();
      zt::Midi_playerrequest(frame.wParam, frame.lParam);
      for (uint32_t m : console.outDriver->messages()) Fuzz_check(WholeMessage(m));
    }
    Fuzz_check(taken > 0 || failed);  // a decoder that stalls would hang the console
  }
  Fuzz_check(frames <= size / zt::kLinkFrameSize);
  return 0;
}
