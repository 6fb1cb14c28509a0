#pragma once
// The console's end of the link: a local socket that players connect to.
// Each playable request (Link_frameplayable) is handed to the console's
// window procedure on the thread that owns the server (the window thread),
// and its result goes back as the answer; any other well-formed request is
// answered 0 without reaching it, and a malformed one closes its connection
// (link_frame.h). Players are served one request at a time, in arrival order
// per connection; a second player is served like the first.
#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace zt {

class LinkServer : public QObject {
 public:
  // Handles one WM_PLAYER_MIDI request; the return value is the answer.
  using Handler = std::function<int32_t(int32_t wParam, int32_t lParam)>;

  explicit LinkServer(Handler handler, QObject* parent = nullptr);
  ~LinkServer() override;

  // Listens under Link_socketname(caption), admitting only this user: the
  // socket's folder is made private (Link_privatefolder), and a folder that
  // is not, or not this user's, is refused. A socket file left by a console
  // that died is replaced; a console of this user that is still listening
  // is not, and then this returns false.
  bool listen(const std::string& caption);
  // Listens under an explicit socket path (tests), with the same checks.
  bool listenAt(const std::string& path);
  void close();
  bool listening() const;
  std::string path() const { return path_; }
  // Why the last listen failed.
  std::string errorText() const { return error_; }

  // A connection that holds part of a frame for this long is closed.
  void setPartialTimeout(int ms) { partialTimeoutMs_ = ms; }

  // Connections open now.
  int connections() const { return open_; }
  // Frames refused as malformed, since the start.
  int refused() const { return refused_; }

 private:
  class Connection;
  void accept();

  Handler handler_;
  QLocalServer* server_ = nullptr;
  std::string path_;
  std::string error_;
  int partialTimeoutMs_ = 5000;
  int open_ = 0;
  int refused_ = 0;
};

}  // namespace zt
