#pragma once
#include <string>

#include "player/reader/song_host.h"
#include "player/reader/song_state.h"

namespace zt {

// Reads the file at `path` and replaces the song with it. Problems go to
// the user through `host` ("No midi file loaded!" for an empty or
// unreadable file, "Meta non riconosciuti:" with the count of events that
// could not be classified). The player calls ResetSong first, then this,
// then CheckEmptySong. No file, however malformed, makes it read outside
// the file.
void LoadSong(SongState& song, const std::string& path, SongHost& host);

// The same for a file already read into memory: `image` becomes the song's
// file image.
void LoadSongImage(SongState& song, std::string image, SongHost& host);

}  // namespace zt
