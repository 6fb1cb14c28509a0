#include "platform/link/link_client.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QLocalSocket>

#include "platform/link/link_frame.h"
#include "platform/link/link_name.h"

namespace zt {

LinkClient::LinkClient(int timeoutMs) : timeoutMs_(timeoutMs) {}

LinkClient::~LinkClient() {
  if (socket_) socket_->abort();
}

bool LinkClient::find(const std::string& caption) { return findAt(Link_socketname(caption)); }

bool LinkClient::findAt(const std::string& path) {
  gone();
  auto socket = std::make_unique<QLocalSocket>();
  socket->connectToServer(QString::fromLocal8Bit(path.c_str()));
  if (!socket->waitForConnected(timeoutMs_)) return false;
  // Whoever listens there must be this user: another user's socket at the
  // console's name gets nothing, not even one request.
  ucred peer{};
  socklen_t size = sizeof peer;
  if (::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                   &size) != 0 ||
      peer.uid != ::geteuid()) {
    socket->abort();
    return false;
  }
  socket_ = std::move(socket);
  return true;
}

bool LinkClient::connected() const {
  return socket_ && socket_->state() == QLocalSocket::ConnectedState;
}

void LinkClient::gone() {
  if (!socket_) return;
  socket_->abort();
  socket_.reset();
}

int32_t LinkClient::send(int32_t wParam, int32_t lParam) {
  if (!socket_) return 0;
  unsigned char frame[kLinkFrameSize];
  Link_encode(LinkFrame{wParam, lParam}, frame);
  const QDeadlineTimer deadline(timeoutMs_);
  if (socket_->write(reinterpret_cast<const char*>(frame), kLinkFrameSize) !=
      qint64(kLinkFrameSize)) {
    gone();
    return 0;
  }
  while (socket_->bytesToWrite() > 0) {
    if (!socket_->waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
      gone();
      return 0;
    }
  }
  while (socket_->bytesAvailable() < qint64(kLinkAnswerSize)) {
    if (deadline.hasExpired() ||
        !socket_->waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      gone();
      return 0;
    }
  }
  unsigned char answer[kLinkAnswerSize];
  socket_->read(reinterpret_cast<char*>(answer), kLinkAnswerSize);
  ++answered_;
  return Link_getint(answer);
}

}  // namespace zt
