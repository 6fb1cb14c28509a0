#pragma once
// A SongHost without a window: it keeps the user messages in order and
// counts the playback stops. The dump tool prints what it kept; the reader's
// tests, fuzzers and benchmarks look at it.
#include <string>
#include <vector>

#include "player/reader/song_host.h"

namespace zt {

class RecordingHost : public SongHost {
 public:
  void showMessage(const std::string& text) override;
  void stopPlayback() override;

  std::vector<std::string> messages;
  int playbackStops = 0;
};

}  // namespace zt
