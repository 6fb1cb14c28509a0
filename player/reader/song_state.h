#pragma once
// The player's in-memory song: everything playback needs, built by LoadSong
// from one file and replaced by the next load.
#include <cstdint>
#include <string>
#include <vector>

#include "player/reader/event_table_allocator.h"
#include "player/reader/midi_event.h"

namespace zt {

// The records of one track, numbered from 1 at index 0.
using EventList = std::vector<MidiEvent, EventTableAllocator<MidiEvent>>;

struct SongState {
  // The whole file as read.
  std::string fileImage;
  // Ticks per quarter note, header bytes 13-14 big-endian; the time-code
  // form (top bit set) is not told apart.
  int32_t division = 0;
  // Tempo in beats per minute: 120 when the file has no tempo event,
  // otherwise the last tempo event in reading order.
  int32_t BPM = 0;

  // SongEventTable: one record list per track, track k at index k - 1.
  // Each list is sized once per load to exactly what the file holds, so
  // playback never allocates.
  std::vector<EventList> SongEventTable;
  // Per track (index k - 1), the absolute tick of its last event.
  std::vector<int64_t> trackEndTick;
  // The largest track end tick.
  int64_t SongEndTick = 0;

  // TextTable: the texts of this load, in reading order. The first entry has
  // number textTableFirst, the next textTableFirst + 1, and so on.
  std::vector<std::string> TextTable;
  int64_t textTableFirst = 1;
  // Entry counter of the TextTable. Never cleared between loads, so entry
  // numbers keep rising from one file to the next while the program runs.
  int64_t textCounter = 0;

  // Events of the last load that the reader could not classify.
  int32_t unrecognised = 0;

  int32_t TrackCount() const { return static_cast<int32_t>(SongEventTable.size()); }
  // The text of entry `number` of this load, or nullptr if it is not here.
  const std::string* TextEntry(int64_t number) const;
};

// The player's one song.
extern SongState Song;

}  // namespace zt
