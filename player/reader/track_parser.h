#pragma once
// Walking one track's data event by event.
#include <cstdint>
#include <string_view>
#include <vector>

#include "player/reader/midi_event.h"
#include "player/reader/song_state.h"

namespace zt {

// The running status a walk carries from one track to the next; 0 when
// cleared. A load starts with it cleared.
using RunningStatus = int;

struct TrackCounts {
  int64_t events = 0;  // records ParseTrack stores
  int64_t texts = 0;   // TextTable entries it adds
};

// Counts what ParseTrack stores for the same data and running status, so
// that the tables can be sized once before parsing.
TrackCounts CountTrack(std::string_view data, RunningStatus& runningStatus);

// Parses track `trackNumber` (1-based): appends its records to `events`,
// its texts to song.TextTable, sets song.BPM from tempo events and counts
// unrecognised events in song.unrecognised. Returns the track's end tick.
// Every read stays inside `data`: an event cut off by the end of the data
// ends the track at the time reached, and is not stored.
int64_t ParseTrack(std::string_view data, int32_t trackNumber, RunningStatus& runningStatus, SongState& song,
                   EventList& events);

}  // namespace zt
