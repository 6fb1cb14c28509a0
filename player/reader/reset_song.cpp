#include "player/reader/reset_song.h"

namespace zt {

void ResetSong(SongState& song, SongHost& host) {
  host.StopPlayback();
  song.SongEventTable = {};
  song.division = 0;
  song.BPM = 0;
  song.unrecognised = 0;
  song.fileImage = std::string();
  song.trackEndTick = {};
  song.SongEndTick = 0;
}

}  // namespace zt
