#pragma once
#include "player/reader/song_host.h"
#include "player/reader/song_state.h"

namespace zt {

// The check the player makes after every load: a song without tracks shows
// "Nessun dato disponibile!" and stays empty. Returns true if the song has
// tracks.
bool CheckEmptySong(const SongState& song, SongHost& host);

}  // namespace zt
