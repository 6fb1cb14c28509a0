#pragma once
#include "player/reader/song_host.h"
#include "player/reader/song_state.h"

namespace zt {

// Stops playback and empties the song before a load. The TextTable entry
// counter is kept, so text numbers keep rising while the program runs.
void ResetSong(SongState& song, SongHost& host);

}  // namespace zt
