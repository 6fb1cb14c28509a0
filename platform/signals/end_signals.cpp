#include "platform/signals/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

namespace zt {

namespace {

int pipeEnds[2] = {-1, -1};
std::unique_ptr<QSocketNotifier> notifier;
std::function<void(int)> handler;
// The signals watched, with the handlers they had before.
std::vector<std::pair<int, struct sigaction>> previous;

// Async-signal-safe: one write, errno kept.
void onSignalRaised(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
  errno = saved;
}

void readSignals() {
  char bytes[16];
  const ssize_t n = ::read(pipeEnds[0], bytes, sizeof bytes);
  for (ssize_t i = 0; i < n; ++i)
    if (handler) handler(bytes[i]);
}

}  // namespace

bool Signals_watch(std::initializer_list<int> watched, std::function<void(int)> onSignal) {
  Signals_restore();
  if (pipeEnds[0] < 0) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0) return false;
    ::fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
    ::fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
  }
  handler = std::move(onSignal);
  notifier = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [] { readSignals(); });
  struct sigaction action {};
  action.sa_handler = onSignalRaised;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  bool all = true;
  for (int signal : watched) {
    struct sigaction before {};
    if (::sigaction(signal, &action, &before) == 0)
      previous.emplace_back(signal, before);
    else
      all = false;
  }
  return all;
}

int Signals_take() {
  if (pipeEnds[0] < 0) return 0;
  int last = 0;
  char bytes[16];
  ssize_t n;
  while ((n = ::read(pipeEnds[0], bytes, sizeof bytes)) > 0) last = bytes[n - 1];
  return last;
}

void Signals_restore() {
  for (const auto& [signal, before] : previous) ::sigaction(signal, &before, nullptr);
  previous.clear();
  notifier.reset();
  handler = nullptr;
}

}  // namespace zt
