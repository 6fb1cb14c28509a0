#include "player/reader/song_state.h"

namespace zt {

SongState Song;

const std::string* SongState::TextEntry(int64_t number) const {
  const int64_t index = number - textTableFirst;
  if (index < 0 || index >= static_cast<int64_t>(TextTable.size())) return nullptr;
  return &TextTable[static_cast<size_t>(index)];
}

}  // namespace zt
