// lettore as a process under the offscreen platform, against a console
// process listening where lettore looks for "ZT".
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <fstream>
#include <string>
#include <vector>

#include "platform/link/link_name.h"
#include "tests/support/midi_test_files.h"
#include "tests/support/test_processes.h"

namespace zt {
namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(LettoreProcess, FindsTheConsoleAndSilencesItWhenToldToEnd) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string folder = dir.path().toStdString();
  ::setenv("ZT_LINK_DIR", folder.c_str(), 1);
  const std::string socket = Link_socketname("ZT");
  ASSERT_EQ(folder + "/zt-" + std::to_string(::geteuid()) + "/ZT.link", socket);
  const std::string log = folder + "/requests.log";

  test::TestProcesses processes;
  QProcess* console =
      processes.start(QStringLiteral(ZT_LINK_PEER),
                      {"console", QString::fromStdString(socket), QString::fromStdString(log)});
  ASSERT_TRUE(test::Process_waitline(console, "listening"));

  // A song in a folder with a blank in its name, given quoted.
  const std::string song = folder + "/my songs/song one.mid";
  QDir().mkpath(dir.path() + "/my songs");
  std::ofstream(song, std::ios::binary)
      << test::Header(96) + test::Track(test::B({0x00, 0x90, 60, 90}) + test::EndOfTrack());

  QProcess lettore;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("ZT_LINK_DIR", dir.path());
  lettore.setProcessEnvironment(env);
  lettore.setWorkingDirectory(dir.path());
  lettore.start(QStringLiteral(ZT_LETTORE), {QString::fromStdString("\"" + song + "\"")});
  ASSERT_TRUE(lettore.waitForStarted(5000));
  // Give it time to find the console and build its window, then end it as
  // a logout would. Had it shown a message box (no console, a file it could
  // not read) it would still be waiting in it, and the signal would find no
  // handler yet and kill it.
  QThread::msleep(1500);
  ASSERT_EQ(QProcess::Running, lettore.state());
  ::kill(static_cast<pid_t>(lettore.processId()), SIGTERM);
  ASSERT_TRUE(lettore.waitForFinished(10000));
  EXPECT_EQ(QProcess::NormalExit, lettore.exitStatus());
  EXPECT_EQ(0, lettore.exitCode());
  EXPECT_EQ(std::vector<std::string>{"0 0"}, Lines(log));
}

}  // namespace
}  // namespace zt
