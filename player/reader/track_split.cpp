#include "player/reader/track_split.h"

#include <algorithm>

namespace zt {

std::vector<std::string_view> SplitTracks(std::string_view body) {
  constexpr std::string_view kTag = "MTrk";
  constexpr size_t kChunkHead = 8;  // tag and length

  // "MTrk" cannot overlap itself, so the tags found from the front are the
  // same the search from the end finds.
  std::vector<size_t> starts;
  for (size_t at = body.find(kTag); at != std::string_view::npos; at = body.find(kTag, at + kTag.size()))
    starts.push_back(at);

  std::vector<std::string_view> tracks;
  tracks.reserve(starts.size());
  for (size_t k = 0; k < starts.size(); ++k) {
    const size_t end = k + 1 < starts.size() ? starts[k + 1] : body.size();
    const size_t begin = std::min(starts[k] + kChunkHead, end);
    tracks.push_back(body.substr(begin, end - begin));
  }
  return tracks;
}

}  // namespace zt
