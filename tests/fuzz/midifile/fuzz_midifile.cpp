// Loads every input as a MIDI file image, the way the player does after
// reading the file, and checks what the reader promises of any file: ticks
// within a track never decrease, end ticks are reached, every text event has
// its entry, the tables hold exactly what was stored.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "player/reader/song_state.h"
#include "tests/support/fuzz_input.h"
#include "tools/midi-dump/recording_host.h"

using zt::test::Fuzz_check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zt::SongState song;
  zt::RecordingHost host;
  zt::ResetSong(song, host);
  zt::Song_loadimage(song, std::string(reinterpret_cast<const char*>(data), size), host);
  zt::Song_checkempty(song, host);
  Fuzz_check(song.trackEndTick.size() == song.SongEventTable.size());
  int64_t songEnd = 0;
  for (size_t k = 0; k < song.SongEventTable.size(); ++k) {
    const auto& events = song.SongEventTable[k];
    Fuzz_check(events.capacity() == events.size());
    int64_t last = 0;
    for (const zt::MidiEvent& e : events) {
      Fuzz_check(e.tick >= last);
      last = e.tick;
      if (e.kind >= 1 && e.kind <= 6) Fuzz_check(song.textEntry(e.first) != nullptr);
    }
    Fuzz_check(song.trackEndTick[k] >= last);
    if (song.trackEndTick[k] > songEnd) songEnd = song.trackEndTick[k];
  }
  Fuzz_check(song.SongEndTick == songEnd);
  Fuzz_check(song.BPM > 0 || size == 0);
  return 0;
}
