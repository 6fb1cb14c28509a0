#pragma once
// Finding the tracks of a file by their "MTrk" tags.
#include <string_view>
#include <vector>

namespace zt {

// Splits the file body (the file without its first 14 bytes) into track
// data: every "MTrk" starts a track that runs up to the next "MTrk" or the
// end of the body, and the tag and the 4 length bytes after it are dropped
// (the length itself is not read, so a chunk of another type becomes part
// of the preceding track). Bytes before the first tag are discarded. The
// views point into `body`.
std::vector<std::string_view> SplitTracks(std::string_view body);

}  // namespace zt
