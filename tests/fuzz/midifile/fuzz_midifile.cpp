// Loads every input as a MIDI file image, the way the player does after
// reading the file, and checks what the reader promises of any file: ticks
// within a track never decrease, end ticks are reached, every text event has
// its entry, the tables hold exactly what was stored.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "player/reader/song_state.h"

namespace {

class QuietHost : public zt::SongHost {
 public:
  void ShowMessage(const std::string& text) override { shown += text.size(); }
  size_t shown = 0;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zt::SongState song;
  QuietHost host;
  zt::ResetSong(song, host);
  zt::LoadSongImage(song, std::string(reinterpret_cast<const char*>(data), size), host);
  zt::CheckEmptySong(song, host);
  Check(song.trackEndTick.size() == song.SongEventTable.size());
  int64_t songEnd = 0;
  for (size_t k = 0; k < song.SongEventTable.size(); ++k) {
    const auto& events = song.SongEventTable[k];
    Check(events.capacity() == events.size());
    int64_t last = 0;
    for (const zt::MidiEvent& e : events) {
      Check(e.tick >= last);
      last = e.tick;
      if (e.kind >= 1 && e.kind <= 6) Check(song.TextEntry(e.first) != nullptr);
    }
    Check(song.trackEndTick[k] >= last);
    if (song.trackEndTick[k] > songEnd) songEnd = song.trackEndTick[k];
  }
  Check(song.SongEndTick == songEnd);
  Check(song.BPM > 0 || size == 0);
  return 0;
}
