#pragma once
// The player's end of the link. The console is looked for once, at start-up;
// every request then waits for the console's answer, as a window message
// sent synchronously would. A console that does not answer within the
// time-out, or whose connection breaks, counts as gone: from then on every
// send does nothing, and the console is never looked for again.
#include <cstdint>
#include <memory>
#include <string>

class QLocalSocket;

namespace zt {

class LinkClient {
 public:
  static constexpr int kDefaultTimeoutMs = 2000;

  explicit LinkClient(int timeoutMs = kDefaultTimeoutMs);
  ~LinkClient();
  LinkClient(const LinkClient&) = delete;
  LinkClient& operator=(const LinkClient&) = delete;

  // Connects to the console whose caption is `caption`; true if found. A
  // listener run by another user does not count as found.
  bool find(const std::string& caption);
  // The same at an explicit socket path (tests).
  bool findAt(const std::string& path);

  // Sends one request (wParam, lParam) and returns the console's answer;
  // returns 0 at once when there is no console.
  int32_t send(int32_t wParam, int32_t lParam);

  // A console was found and has not gone since.
  bool connected() const;
  // Requests answered since the start.
  int64_t answered() const { return answered_; }

 private:
  void gone();

  int timeoutMs_;
  std::unique_ptr<QLocalSocket> socket_;
  int64_t answered_ = 0;
};

}  // namespace zt
