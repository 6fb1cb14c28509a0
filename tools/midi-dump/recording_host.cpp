#include "tools/midi-dump/recording_host.h"

namespace zt {

void RecordingHost::showMessage(const std::string& text) { messages.push_back(text); }

void RecordingHost::stopPlayback() { ++playbackStops; }

}  // namespace zt
