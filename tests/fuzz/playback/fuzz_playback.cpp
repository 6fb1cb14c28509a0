// Plays every input as a MIDI file, the way the player does after loading
// it: play, then timer ticks until the song ends, with the tempo control,
// pause and the channel buttons worked in between from the input's last
// bytes. Checks what playback promises of any file: every event the
// console gets is a whole channel message (or all notes off), the song ends
// when its clock passes the end, and nothing overflows (UBSan).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "player/reader/song_state.h"
#include "player/scheduler/scheduler.h"
#include "tests/support/fuzz_input.h"
#include "tools/midi-dump/recording_host.h"

namespace {

using zt::test::Fuzz_check;

class QuietHost : public zt::RecordingHost, public zt::SchedulerHost {
 public:
  using zt::RecordingHost::showMessage;
  // SchedulerHost.
  void sendToConsole(int32_t wParam, int32_t lParam) override {
    Fuzz_check(wParam == 0 || wParam == 1);
    if (lParam == 0) return;
    const uint32_t word = static_cast<uint32_t>(lParam);
    const uint32_t status = word & 0xFF;
    Fuzz_check(status >= 0x80 && status <= 0xEF);
    Fuzz_check(((word >> 8) & 0xFF) < 0x80 && ((word >> 16) & 0xFF) < 0x80 && (word >> 24) == 0);
    ++sent;
  }
  void setDataView(std::string_view caption) override { shown += caption.size(); }
  void setChannelButton(int32_t k, float value, std::string_view) override {
    Fuzz_check(k >= 0 && k < 16);
    Fuzz_check(value == 0 || value == 100);
  }
  void setProgress(float value, std::string_view caption) override {
    Fuzz_check(value >= 0 && value <= 100);
    shown += caption.size();
  }
  void flipPauseSwitch() override {}
  void showMessage(std::string_view text) override { shown += text.size(); }
  void postLoopCommand() override { ++loops; }
  int32_t startTimer(int32_t, int32_t) override { return 1; }
  void stopTimer(int32_t) override {}
  int32_t timeOfDayMs() override { return now = (now + 10) % 86400000; }

  size_t shown = 0;
  int64_t sent = 0;
  int loops = 0;
  int32_t now = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zt::SongState song;
  static zt::PlaybackState state;
  QuietHost host;
  zt::Playback_reset(state, host);
  zt::ResetSong(song, host);
  zt::Song_loadimage(song, std::string(reinterpret_cast<const char*>(data), size), host);

  state.fileName = "fuzz.mid";
  state.RoutingMode = size % 2;
  const uint8_t knob = size > 0 ? data[size - 1] : 0;
  if (knob & 1) song.BPM = zt::Tempo_fromcontrol(static_cast<float>(knob % 101));
  if (knob & 2) zt::Channel_click(state, host, knob % 16);
  if (knob & 4) zt::Channel_solo(state, host, (knob >> 4) % 16);
  zt::Player_play(song, state, host);
  // A song longer than this many ticks is cut short: hostile tempi and ticks
  // can stretch a song over years.
  for (int tick = 0; tick < 2000 && state.running; ++tick) {
    if (tick == 50 && (knob & 8)) {
      zt::Player_pause(song, state, host);
      zt::Player_tick(song, state, host, zt::kSlotPlayback);  // queued before the stop
      zt::Player_pause(song, state, host);
    }
    zt::Player_tick(song, state, host, zt::kSlotPlayback);
    if (tick % 10 == 0) zt::Player_tick(song, state, host, zt::kSlotProgress);
  }
  if (!state.running) {
    // Ended: every scheduled event went out or was due by then.
    for (size_t k = 0; k < state.NextEventIndex.size(); ++k)
      Fuzz_check(state.NextEventIndex[k] ==
                 static_cast<int32_t>(song.SongEventTable[k].size()) + 1);
  }
  zt::Player_stop(state, host);
  zt::Player_close(state, host);
  return 0;
}
