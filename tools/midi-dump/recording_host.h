#pragma once
// A SongHost without a window: it keeps the user messages in order.
#include <string>
#include <vector>

#include "player/reader/song_host.h"

namespace zt {

class RecordingHost : public SongHost {
 public:
  void ShowMessage(const std::string& text) override;
  const std::vector<std::string>& messages() const { return messages_; }

 private:
  std::vector<std::string> messages_;
};

}  // namespace zt
