#include "player/reader/song_state.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "common/number_text.h"
#include "player/reader/track_parser.h"

namespace zt {

SongState songState;

const std::string* SongState::textEntry(int64_t number) const {
  const int64_t index = number - textTableFirst;
  if (index < 0 || index >= static_cast<int64_t>(TextTable.size())) return nullptr;
  return &TextTable[static_cast<size_t>(index)];
}

namespace {

constexpr size_t kHeaderSize = 14;

// What both a reset and a load empty: the tables built from a file and what
// was read from its header.
void clearSongTables(SongState& song) {
  song.SongEventTable = {};
  song.trackEndTick = {};
  song.SongEndTick = 0;
  song.unrecognised = 0;
  song.division = 0;
}

// Header bytes 13-14, big-endian. The header is not checked otherwise.
int32_t divisionOf(std::string_view image) {
  const auto byteAt = [&](size_t position) -> int32_t {
    return position <= image.size() ? static_cast<uint8_t>(image[position - 1]) : 0;
  };
  return byteAt(13) * 256 + byteAt(14);
}

}  // namespace

void ResetSong(SongState& song, SongHost& host) {
  host.stopPlayback();
  clearSongTables(song);
  song.BPM = 0;
  song.fileImage = std::string();
}

void LoadSong(SongState& song, const std::string& path, SongHost& host) {
  std::string image;
  File_readimage(path, image);  // an unreadable file leaves it empty
  Song_loadimage(song, std::move(image), host);
}

void Song_loadimage(SongState& song, std::string image, SongHost& host) {
  clearSongTables(song);
  song.TextTable = {};
  song.textTableFirst = song.textCounter + 1;

  song.fileImage = std::move(image);
  if (song.fileImage.empty()) {
    host.showMessage(kMsgNoFile);
    return;
  }
  const std::string_view file = song.fileImage;
  song.division = divisionOf(file);
  const std::string_view body =
      file.size() > kHeaderSize ? file.substr(kHeaderSize) : std::string_view();
  const std::vector<std::string_view> tracks = Track_split(body);
  const size_t trackCount = tracks.size();

  // Size every table once, to exactly what the file holds: a walk that only
  // counts, with the running status carried across tracks as in parsing.
  std::vector<int64_t> eventCounts(trackCount);
  int64_t textCount = 0;
  RunningStatus runningStatus = 0;
  for (size_t k = 0; k < trackCount; ++k) {
    const TrackCounts counts = Track_count(tracks[k], runningStatus);
    eventCounts[k] = counts.events;
    textCount += counts.texts;
  }
  song.SongEventTable.resize(trackCount);
  for (size_t k = 0; k < trackCount; ++k)
    song.SongEventTable[k].reserve(static_cast<size_t>(eventCounts[k]));
  song.trackEndTick.assign(trackCount, 0);
  song.TextTable.reserve(static_cast<size_t>(textCount));

  if (song.BPM == 0) song.BPM = 120;

  runningStatus = 0;
  for (size_t k = 0; k < trackCount; ++k)
    song.trackEndTick[k] = Track_parse(tracks[k], static_cast<int32_t>(k + 1), runningStatus, song,
                                       song.SongEventTable[k]);

  if (song.unrecognised > 0) host.showMessage(kMsgUnrecognised + Text_str(song.unrecognised));

  for (const int64_t end : song.trackEndTick) song.SongEndTick = std::max(song.SongEndTick, end);
}

bool Song_checkempty(const SongState& song, SongHost& host) {
  if (song.trackCount() > 0) return true;
  host.showMessage(kMsgNoData);
  return false;
}

}  // namespace zt
