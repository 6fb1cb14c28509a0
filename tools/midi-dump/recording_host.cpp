#include "tools/midi-dump/recording_host.h"

namespace zt {

void RecordingHost::ShowMessage(const std::string& text) { messages.push_back(text); }

void RecordingHost::StopPlayback() { ++playbackStops; }

}  // namespace zt
