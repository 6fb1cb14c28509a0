#pragma once
// Reading the tracks of a file: finding them by their "MTrk" tags, walking
// one track's data event by event, and the pieces of an event the walk
// decodes (variable-length quantities, tempos, text entries).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "player/reader/song_state.h"

namespace zt {

// Splits the file body (the file without its first 14 bytes) into track
// data: every "MTrk" starts a track that runs up to the next "MTrk" or the
// end of the body, and the tag and the 4 length bytes after it are dropped
// (the length itself is not read, so a chunk of another type becomes part
// of the preceding track). Bytes before the first tag are discarded. The
// views point into `body`.
std::vector<std::string_view> Track_split(std::string_view body);

// The running status a walk carries from one track to the next; 0 when
// cleared. A load starts with it cleared.
using RunningStatus = int;

struct TrackCounts {
  int64_t events = 0;  // records Track_parse stores
  int64_t texts = 0;   // TextTable entries it adds
};

// Counts what Track_parse stores for the same data and running status, so
// that the tables can be sized once before parsing.
TrackCounts Track_count(std::string_view data, RunningStatus& runningStatus);

// Parses track `trackNumber` (1-based): appends its records to `events`,
// its texts to song.TextTable, sets song.BPM from tempo events and counts
// unrecognised events in song.unrecognised. Returns the track's end tick.
// Every read stays inside `data`: an event cut off by the end of the data
// ends the track at the time reached, and is not stored.
int64_t Track_parse(std::string_view data, int32_t trackNumber, RunningStatus& runningStatus,
                    SongState& song, EventList& events);

// Reads one variable-length quantity (7 bits a byte, top bit set on every
// byte but the last) from `track` starting at the 1-based position `p` and
// leaves `p` on the last byte it consumed. Any number of bytes is accepted;
// the value keeps its low 32 bits. If the quantity runs past the end of
// `track` (or `p` starts past it), `p` is left at track.size() + 1 and the
// bits gathered so far are returned: callers end the track there.
uint32_t ReadVarLen(std::string_view track, size_t& p);

// The tempo of a set-tempo event in beats per minute: 60 000 000 /
// microsecondsPerQuarter rounded to the nearest integer, halves to even.
// microsecondsPerQuarter must not be 0.
int32_t Tempo_frommicroseconds(uint32_t microsecondsPerQuarter);

// The TextTable entry made from one text meta event. `type` is the meta
// type 1-6, `number` the entry's number, `trackNumber` the 1-based track the
// event is in, `text` the event's bytes.
std::string Track_textentry(int type, int64_t number, int32_t trackNumber, std::string_view text);

}  // namespace zt
