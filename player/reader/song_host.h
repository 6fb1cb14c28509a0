#pragma once
// What the reader needs from the player around it. The player window
// implements this; tests and the dump tool record the calls.
#include <string>

namespace zt {

class SongHost {
 public:
  virtual ~SongHost() = default;
  // Shows the user a message box with an empty title and waits for it to
  // be dismissed. The text is Windows-1252 bytes.
  virtual void showMessage(const std::string& text) = 0;
  // Stops both playback timers and clears the playback position and
  // progress, before the song is replaced. Nothing to do without playback.
  virtual void stopPlayback() {}
};

}  // namespace zt
