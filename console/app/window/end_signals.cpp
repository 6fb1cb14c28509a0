#include "console/app/window/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <memory>

namespace zt {

namespace {

int pipeEnds[2] = {-1, -1};
std::unique_ptr<QSocketNotifier> notifier;
void (*handler)(int) = nullptr;
struct sigaction oldTerm {
}, oldInt{};

// Async-signal-safe: one write, errno kept.
void onSignalRaised(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  ssize_t n = ::write(pipeEnds[1], &byte, 1);
  (void)n;
  errno = saved;
}

void readSignals() {
  char bytes[16];
  ssize_t n = ::read(pipeEnds[0], bytes, sizeof bytes);
  for (ssize_t i = 0; i < n; ++i)
    if (handler) handler(bytes[i]);
}

}  // namespace

void Signals_watch(void (*onSignal)(int)) {
  handler = onSignal;
  if (pipeEnds[0] < 0) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0) return;
    ::fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
    ::fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
  }
  notifier = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [] { readSignals(); });
  struct sigaction action {};
  action.sa_handler = onSignalRaised;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, &oldTerm);
  ::sigaction(SIGINT, &action, &oldInt);
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
  ::sigaction(SIGTERM, &oldTerm, nullptr);
  ::sigaction(SIGINT, &oldInt, nullptr);
  notifier.reset();
  handler = nullptr;
}

}  // namespace zt
