// The link between real processes over its socket: a console process (the
// link server with a recording handler) and players, in this process or as
// processes of their own.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "platform/link/link_client.h"
#include "platform/link/link_frame.h"
#include "platform/link/link_name.h"
#include "platform/link/link_server.h"
#include "tests/support/test_processes.h"

namespace zt {
namespace {

class LinkProcessTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::Qt_app<QCoreApplication>("link_process_test"); }

  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // Open to anyone, so that only the link's own folder, which the console
    // makes, keeps another user out.
    ::chmod(dir_.path().toLocal8Bit().constData(), 0755);
    socket_ = (dir_.path() + "/link/ZT-test.link").toStdString();
    log_ = (dir_.path() + "/requests.log").toStdString();
  }

  void TearDown() override { processes_.end(); }

  QProcess* Start(const QStringList& args) {
    QProcess* p = processes_.start(QStringLiteral(ZT_LINK_PEER), args);
    EXPECT_TRUE(p->waitForStarted(5000));
    return p;
  }

  QProcess* StartConsole(int handleMs = 0, int partialMs = 5000) {
    QProcess* p = Start({"console", QString::fromStdString(socket_), QString::fromStdString(log_),
                         QString::number(handleMs), QString::number(partialMs)});
    EXPECT_TRUE(test::Process_waitline(p, "listening"));
    return p;
  }

  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    QFile f(QString::fromStdString(log_));
    if (!f.open(QIODevice::ReadOnly)) return lines;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (!line.isEmpty()) lines.push_back(line.toStdString());
    return lines;
  }

  // Polls the log until it has `count` lines or the time is up.
  std::vector<std::string> LogWhen(size_t count, int ms = 5000) const {
    QElapsedTimer t;
    t.start();
    std::vector<std::string> lines = Log();
    while (lines.size() < count && t.elapsed() < ms) {
      QThread::msleep(20);
      lines = Log();
    }
    return lines;
  }

  QTemporaryDir dir_;
  std::string socket_;
  std::string log_;
  test::TestProcesses processes_;
};

using Lines = std::vector<std::string>;

constexpr int32_t kNoteOnCh3 = 0x92 + 256 * 60 + 65536 * 100;

TEST_F(LinkProcessTest, ExactFramesAnsweredOnlyAfterTheConsoleHandledThem) {
  StartConsole(/*handleMs=*/150);
  LinkClient client;
  ASSERT_TRUE(client.findAt(socket_));
  EXPECT_EQ(1, client.send(1, kNoteOnCh3));
  // The console logs after a pause, then answers: the line is there already.
  EXPECT_EQ(Lines{"1 6569106"}, Log());
  EXPECT_EQ(2, client.send(0, 0xC5 + 256 * 19));
  EXPECT_EQ(3, client.send(0, 0));
  EXPECT_EQ((Lines{"1 6569106", "0 5061", "0 0"}), Log());

  // On the wire: eight bytes in, four bytes out, little-endian.
  QLocalSocket raw;
  raw.connectToServer(QString::fromStdString(socket_));
  ASSERT_TRUE(raw.waitForConnected(3000));
  const char frame[8] = {1, 0, 0, 0, char(0x80), 60, 0, 0};
  raw.write(frame, 8);
  ASSERT_TRUE(raw.waitForBytesWritten(3000));
  while (raw.bytesAvailable() < 4) ASSERT_TRUE(raw.waitForReadyRead(3000));
  const QByteArray answer = raw.read(8);
  EXPECT_EQ(QByteArray("\x04\x00\x00\x00", 4), answer);
  ASSERT_EQ(4u, Log().size());
  EXPECT_EQ("1 15488", Log()[3]);
}

TEST_F(LinkProcessTest, AConsoleThatStopsAnsweringCountsAsGone) {
  QProcess* console = StartConsole();
  LinkClient client(/*timeoutMs=*/400);
  ASSERT_TRUE(client.findAt(socket_));
  EXPECT_EQ(1, client.send(0, 0x90 + 256 * 60 + 65536 * 90));
  ::kill(static_cast<pid_t>(console->processId()), SIGSTOP);
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(0, client.send(0, 0x90 + 256 * 62 + 65536 * 90));
  EXPECT_GE(t.elapsed(), 350);
  EXPECT_FALSE(client.connected());
  ::kill(static_cast<pid_t>(console->processId()), SIGCONT);
  // Gone for good: later sends return at once and reach nothing.
  t.restart();
  EXPECT_EQ(0, client.send(0, 0x90 + 256 * 64 + 65536 * 90));
  EXPECT_LT(t.elapsed(), 200);
  QThread::msleep(300);
  for (const std::string& line : Log()) EXPECT_NE("0 5914688", line);
}

TEST_F(LinkProcessTest, FramesTheConsoleDoesNotPlayAreAnsweredAndIgnored) {
  StartConsole();
  LinkClient client;
  ASSERT_TRUE(client.findAt(socket_));
  EXPECT_EQ(0, client.send(0, 0xF8));                              // clock
  EXPECT_EQ(0, client.send(2, 0x90 + 256 * 0x80 + 65536 * 0x90));  // data with the top bit
  EXPECT_EQ(0, client.send(0, 0x05 + 256 * 7));                    // no status byte
  EXPECT_TRUE(client.connected());
  EXPECT_EQ(1, client.send(2, kNoteOnCh3));
  EXPECT_EQ(Lines{"2 6569106"}, Log());
}

TEST_F(LinkProcessTest, MalformedOrHangingFramesCloseOnlyTheirConnection) {
  StartConsole(0, /*partialMs=*/300);
  LinkClient good;
  ASSERT_TRUE(good.findAt(socket_));

  unsigned char frame[kLinkFrameSize + 4];
  QLocalSocket garbage;
  garbage.connectToServer(QString::fromStdString(socket_));
  ASSERT_TRUE(garbage.waitForConnected(3000));
  Link_encode({0, 0x90 + 256 * 60 + (0x45 << 24)}, frame);  // a fourth message byte
  garbage.write(reinterpret_cast<const char*>(frame), kLinkFrameSize);
  EXPECT_TRUE(garbage.waitForDisconnected(3000));

  // A request with more behind it before its answer: too long.
  QLocalSocket tooLong;
  tooLong.connectToServer(QString::fromStdString(socket_));
  ASSERT_TRUE(tooLong.waitForConnected(3000));
  Link_encode({0, kNoteOnCh3}, frame);
  tooLong.write(reinterpret_cast<const char*>(frame), sizeof frame);
  EXPECT_TRUE(tooLong.waitForDisconnected(3000));

  QLocalSocket hanging;
  hanging.connectToServer(QString::fromStdString(socket_));
  ASSERT_TRUE(hanging.waitForConnected(3000));
  hanging.write("\x90\x3C\x00", 3);
  EXPECT_TRUE(hanging.waitForDisconnected(3000));

  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(1, good.send(1, 0x90 + 256 * 60 + 65536 * 1));
  EXPECT_EQ(Lines{"1 81040"}, Log());
}

TEST_F(LinkProcessTest, APlayerKilledMidNoteLeavesTheConsoleSilent) {
  StartConsole();
  QProcess* player =
      Start({"player", QString::fromStdString(socket_), "0", QString::number(kNoteOnCh3)});
  ASSERT_TRUE(test::Process_waitline(player, "sent"));
  player->kill();
  EXPECT_EQ((Lines{"0 6569106", "0 0"}), LogWhen(2));

  // A player that silenced the console itself before it went gets no second
  // all notes off.
  QProcess* tidy = Start({"player", QString::fromStdString(socket_), "1", "144", "0", "0"});
  ASSERT_TRUE(test::Process_waitline(tidy, "sent"));
  tidy->kill();
  tidy->waitForFinished(3000);
  QThread::msleep(300);
  EXPECT_EQ((Lines{"0 6569106", "0 0", "1 144", "0 0"}), Log());
}

TEST_F(LinkProcessTest, ASecondPlayerIsServedLikeTheFirst) {
  StartConsole();
  LinkClient a, b;
  ASSERT_TRUE(a.findAt(socket_));
  ASSERT_TRUE(b.findAt(socket_));
  EXPECT_EQ(1, a.send(0, 0x90 + 256 * 60 + 65536 * 64));
  EXPECT_EQ(2, b.send(1, 0x91 + 256 * 48 + 65536 * 64));
  EXPECT_EQ(3, a.send(0, 0x80 + 256 * 60));
  EXPECT_EQ((Lines{"0 4209808", "1 4206737", "0 15488"}), Log());
}

TEST_F(LinkProcessTest, NoConsoleMeansSendsDoNothing) {
  LinkClient client(300);
  EXPECT_FALSE(client.findAt(socket_));
  EXPECT_FALSE(client.connected());
  EXPECT_EQ(0, client.send(0, kNoteOnCh3));
}

TEST_F(LinkProcessTest, ASocketLeftByADeadConsoleIsReplacedALiveOneIsNot) {
  QProcess* first = StartConsole();
  QProcess* second =
      Start({"console", QString::fromStdString(socket_), QString::fromStdString(log_)});
  EXPECT_TRUE(second->waitForFinished(5000));
  EXPECT_EQ(1, second->exitCode());

  first->kill();
  first->waitForFinished(3000);
  ASSERT_TRUE(QFile::exists(QString::fromStdString(socket_)));
  StartConsole();
  LinkClient client;
  ASSERT_TRUE(client.findAt(socket_));
  EXPECT_EQ(1, client.send(0, 0));
}

TEST_F(LinkProcessTest, AConsoleThatEndsLeavesThePlayerRunningSilently) {
  ::signal(SIGPIPE, SIG_IGN);
  QProcess* console = StartConsole();
  LinkClient client;
  ASSERT_TRUE(client.findAt(socket_));
  EXPECT_EQ(1, client.send(0, kNoteOnCh3));
  console->kill();
  console->waitForFinished(3000);
  EXPECT_EQ(0, client.send(0, 0));
  EXPECT_FALSE(client.connected());
  EXPECT_EQ(0, client.send(0, kNoteOnCh3));
}

TEST_F(LinkProcessTest, ARequestArrivingWhileTheConsoleWaitsInADialogWaitsItsTurn) {
  // The console here is this process: its handler runs a nested event loop
  // on the first request, as a message box would.
  int depth = 0, deepest = 0, handled = 0;
  std::vector<int32_t> order;
  LinkServer server([&](int32_t, int32_t l) {
    ++depth;
    deepest = std::max(deepest, depth);
    order.push_back(l);
    if (order.size() == 1) {
      QEventLoop dialog;
      QTimer::singleShot(300, &dialog, &QEventLoop::quit);
      dialog.exec();
    }
    --depth;
    return ++handled;
  });
  ASSERT_TRUE(server.listenAt(socket_));
  QProcess* player = Start(
      {"player", QString::fromStdString(socket_), "0", QString::number(kNoteOnCh3), "0", "0"});
  QElapsedTimer t;
  t.start();
  while (handled < 2 && t.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(1, deepest);
  EXPECT_EQ((std::vector<int32_t>{kNoteOnCh3, 0}), order);
  // Its output may be buffered already by the event loop above.
  bool sent = false;
  while (!sent && (player->canReadLine() || player->waitForReadyRead(3000)))
    while (player->canReadLine())
      if (player->readLine().trimmed() == "sent") sent = true;
  EXPECT_TRUE(sent);
  player->kill();
  player->waitForFinished(3000);
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  // It silenced the console itself before it went: nothing more.
  EXPECT_EQ(2u, order.size());
}

// connect(2) to the socket from a child process running as `uid`; the
// child's exit code is 0 when it connected, else the errno.
int ConnectAs(const std::string& path, uid_t uid) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (uid != 0 && (::setgid(uid) != 0 || ::setuid(uid) != 0)) _exit(100);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    const int r = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    _exit(r == 0 ? 0 : (errno & 0x7F));
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(LinkProcessTest, AnotherUsersPlayerCannotConnect) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "needs root to run a child as another user; not checked here";
  }
  StartConsole();
  EXPECT_EQ(0, ConnectAs(socket_, 0));
  EXPECT_EQ(EACCES, ConnectAs(socket_, 65534));
  // The refused attempt left nothing behind for the console to handle.
  QThread::msleep(200);
  EXPECT_TRUE(Log().empty());
}

TEST_F(LinkProcessTest, TheLinkFolderIsMadePrivateAndAnyOtherIsRefused) {
  const std::string base = dir_.path().toStdString();
  ::setenv("ZT_LINK_DIR", base.c_str(), 1);
  const std::string folder = Link_folder();
  EXPECT_EQ(base + "/zt-" + std::to_string(::geteuid()), folder);
  EXPECT_EQ(folder + "/ZT.link", Link_socketname("ZT"));
  auto refusal = [] {
    LinkServer server([](int32_t, int32_t) { return 0; });
    return server.listen("ZT") ? std::string() : server.errorText();
  };
  EXPECT_EQ("", refusal());
  struct stat st {};
  ASSERT_EQ(0, ::lstat(folder.c_str(), &st));
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(0700u, st.st_mode & 07777);

  ::chmod(folder.c_str(), 0750);
  EXPECT_EQ("the link folder " + folder + " is open to other users (mode 0750)", refusal());
  ::chmod(folder.c_str(), 0700);
  if (::geteuid() == 0) {
    ASSERT_EQ(0, ::chown(folder.c_str(), 65534, 65534));
    EXPECT_EQ("the link folder " + folder + " belongs to another user (uid 65534)", refusal());
  }
  ASSERT_EQ(0, ::rename(folder.c_str(), (base + "/elsewhere").c_str()));
  ASSERT_EQ(0, ::symlink((base + "/elsewhere").c_str(), folder.c_str()));
  EXPECT_EQ("the link folder " + folder + " is not a folder", refusal());
  ::unsetenv("ZT_LINK_DIR");
}

TEST_F(LinkProcessTest, APlayerSendsNothingToAnotherUsersListener) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "needs root to run a listener as another user; not checked here";
  }
  // Another user's socket where the console's would be: that user may
  // write in this folder.
  const std::string folder = dir_.path().toStdString() + "/shared";
  ASSERT_EQ(0, ::mkdir(folder.c_str(), 0777));
  ASSERT_EQ(0, ::chmod(folder.c_str(), 0777));
  const std::string path = folder + "/ZT.link";
  int report[2];
  ASSERT_EQ(0, ::pipe(report));
  const pid_t pid = ::fork();
  if (pid == 0) {
    // The other user listens and reports how many bytes reached it.
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) _exit(100);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0)
      _exit(101);
    char ready = 'r';
    if (::write(report[1], &ready, 1) != 1) _exit(102);
    pollfd p{fd, POLLIN, 0};
    int received = 0;
    if (::poll(&p, 1, 3000) == 1) {
      const int peer = ::accept(fd, nullptr, nullptr);
      char bytes[64];
      pollfd q{peer, POLLIN, 0};
      while (::poll(&q, 1, 1000) == 1) {
        const ssize_t n = ::read(peer, bytes, sizeof bytes);
        if (n <= 0) break;
        received += static_cast<int>(n);
      }
    }
    _exit(received);
  }
  char ready = 0;
  ASSERT_EQ(1, ::read(report[0], &ready, 1));
  LinkClient client(300);
  EXPECT_FALSE(client.findAt(path));
  EXPECT_EQ(0, client.send(0, kNoteOnCh3));
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status));
  ::close(report[0]);
  ::close(report[1]);
}

}  // namespace
}  // namespace zt
