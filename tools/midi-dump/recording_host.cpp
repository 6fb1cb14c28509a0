#include "tools/midi-dump/recording_host.h"

namespace zt {

void RecordingHost::ShowMessage(const std::string& text) { messages_.push_back(text); }

}  // namespace zt
