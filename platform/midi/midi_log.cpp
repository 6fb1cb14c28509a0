#include "platform/midi/midi_log.h"

#include <atomic>
#include <cstdio>

namespace zt {

namespace {
std::atomic<void (*)(std::string_view)> logTo{nullptr};
}  // namespace

void Midi_setlog(void (*log)(std::string_view line)) { logTo.store(log); }

void Midi_log(std::string_view line) {
  if (auto log = logTo.load()) {
    log(line);
    return;
  }
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace zt
