#include "platform/link/link_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include "platform/link/link_frame.h"
#include "platform/link/link_name.h"

namespace zt {

// One player's connection. Reads frames as they arrive, hands each playable
// one to the handler and answers every well-formed one. A malformed frame
// (garbage, or followed by bytes before its answer), or part of a frame left
// hanging, closes the connection. When the connection ends while notes may
// still sound (the player crashed or was killed before its all-notes-off),
// the handler gets the all-notes-off request, as the player's own would.
class LinkServer::Connection : public QObject {
 public:
  Connection(LinkServer* owner, QLocalSocket* socket)
      : QObject(owner), owner_(owner), socket_(socket) {
    socket_->setParent(this);
    partial_.setSingleShot(true);
    connect(&partial_, &QTimer::timeout, this, [this] { drop(); });
    connect(socket_, &QLocalSocket::readyRead, this, [this] { serve(); });
    connect(socket_, &QLocalSocket::disconnected, this, [this] { finish(); });
    ++owner_->open_;
  }

  void serve() {
    // The handler may run a nested event loop (a message box); a second
    // readyRead arriving meanwhile is picked up by the loop below.
    if (busy_ || finished_) return;
    busy_ = true;
    QPointer<Connection> self(this);
    while (!finished_) {
      LinkFrame frame;
      LinkDecoder::Result r = decoder_.next(frame);
      if (r == LinkDecoder::Result::needMore) {
        unsigned char bytes[kLinkFrameSize];
        const size_t want = kLinkFrameSize - decoder_.pending();
        const qint64 got = socket_->read(reinterpret_cast<char*>(bytes), static_cast<qint64>(want));
        if (got <= 0) break;
        decoder_.feed(bytes, static_cast<size_t>(got));
        continue;
      }
      // A player waits for each answer before it sends again: bytes already
      // there behind a request make it one that is too long.
      if (r == LinkDecoder::Result::malformed || socket_->bytesAvailable() > 0) {
        ++owner_->refused_;
        drop();
        break;
      }
      int32_t answer = 0;
      if (Link_frameplayable(frame)) {
        answer = owner_->handler_ ? owner_->handler_(frame.wParam, frame.lParam) : 0;
        if (!self || finished_) return;
        sounding_ = frame.lParam != 0;
      }
      unsigned char out[kLinkAnswerSize];
      Link_putint(out, answer);
      socket_->write(reinterpret_cast<const char*>(out), kLinkAnswerSize);
      socket_->flush();
    }
    if (!self) return;
    busy_ = false;
    if (finished_) return;
    if (decoder_.pending() > 0) {
      if (!partial_.isActive()) partial_.start(owner_->partialTimeoutMs_);
    } else {
      partial_.stop();
    }
  }

  void drop() {
    if (finished_) return;
    socket_->abort();
    finish();
  }

  void finish() {
    if (finished_) return;
    finished_ = true;
    partial_.stop();
    --owner_->open_;
    if (sounding_ && owner_->handler_) owner_->handler_(0, 0);
    sounding_ = false;
    deleteLater();
  }

 private:
  LinkServer* owner_;
  QLocalSocket* socket_;
  LinkDecoder decoder_;
  QTimer partial_;
  bool busy_ = false;
  bool finished_ = false;
  // A request other than all notes off has been handled since the last
  // all notes off: something may still sound.
  bool sounding_ = false;
};

LinkServer::LinkServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

LinkServer::~LinkServer() { close(); }

bool LinkServer::listen(const std::string& caption) { return listenAt(Link_socketname(caption)); }

bool LinkServer::listenAt(const std::string& path) {
  close();
  path_ = path;
  error_.clear();
  // The socket's folder keeps every other user from reaching it, or from
  // putting a socket of theirs in its place.
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".")
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  error_ = Link_privatefolder(folder);
  if (!error_.empty()) return false;
  const QString name = QString::fromLocal8Bit(path.c_str());
  // Someone answering there is a console already running, which keeps its
  // socket; a socket file nobody answers on was left by one that died.
  {
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(500)) {
      probe.abort();
      error_ = "another console is already listening on " + path;
      return false;
    }
  }
  QLocalServer::removeServer(name);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name)) {
    error_ = server_->errorString().toStdString();
    delete server_;
    server_ = nullptr;
    return false;
  }
  connect(server_, &QLocalServer::newConnection, this, [this] { accept(); });
  return true;
}

void LinkServer::close() {
  if (!server_) return;
  server_->close();
  delete server_;
  server_ = nullptr;
}

bool LinkServer::listening() const { return server_ && server_->isListening(); }

void LinkServer::accept() {
  while (server_ && server_->hasPendingConnections()) {
    QLocalSocket* socket = server_->nextPendingConnection();
    auto* c = new Connection(this, socket);
    // Bytes may already be waiting.
    QTimer::singleShot(0, c, [c] { c->serve(); });
  }
}

}  // namespace zt
