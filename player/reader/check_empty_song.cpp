#include "player/reader/check_empty_song.h"

#include "player/reader/reader_messages.h"

namespace zt {

bool CheckEmptySong(const SongState& song, SongHost& host) {
  if (song.TrackCount() > 0) return true;
  host.ShowMessage(kMsgNoData);
  return false;
}

}  // namespace zt
