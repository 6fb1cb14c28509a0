// The soundfont loader batch file and the player, run as real processes.
#include "console/app/window/console_launch.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "console/app/files/program_names.h"
#include "tests/console/app/files/app_fixture.h"

namespace zt::test {
namespace {

class LaunchTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    const char* path = std::getenv("PATH");
    oldPath_ = path ? path : "";
  }
  void TearDown() override {
    setenv("PATH", oldPath_.c_str(), 1);
    FilesTest::TearDown();
  }
  void writeScript(const std::string& path, const std::string& body) {
    writeFile(path, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
  }
  // Waits up to 10 s for a file that another process writes.
  bool waitFor(const std::string& path) {
    for (int i = 0; i < 1000 && !exists(path); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return exists(path);
  }
  std::string oldPath_;
};

TEST_F(LaunchTest, TheLoaderBatchRunsInTheCurrentDirectoryAndIsWaitedFor) {
  // The report appears only after a pause: it is there when the run returns.
  writeFile(
      "sl.bat",
      "sleep 0.5\nprintf 'a\\r\\nb\\r\\nc\\r\\nloaded\\r\\n[12] Principale\\r\\n' > caricati.tmp\n"
      "mv caricati.tmp caricati.txt\n");
  Soundfont_runbatch();
  ASSERT_TRUE(exists("caricati.txt"));
  EXPECT_TRUE(sink.texts(DisplayKind::log).empty());

  consoleState.synthFound = 1;
  Reg_setname(1, "12");
  Soundfont_load();
  EXPECT_EQ(consoleState.regName[1], "12 Principale");
}

TEST_F(LaunchTest, AMissingLoaderBatchIsSkippedWithALogLine) {
  Soundfont_runbatch();
  EXPECT_EQ(sink.texts(DisplayKind::log), std::vector<std::string>{"sl.bat non trovato"});
}

TEST_F(LaunchTest, ThePlayerStartsFromTheConsolesDirectoryWithoutWaiting) {
  mkdir("bin", 0755);
  // It would run for 5 s: the start returns long before.
  writeScript("bin/lettore", "touch \"$PWD/started\"\nsleep 5\n");
  auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(Player_startfrom(dir + "/bin"));
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(4));
  EXPECT_TRUE(waitFor("started"));  // in the console's current directory
  EXPECT_TRUE(sink.texts(DisplayKind::log).empty());
}

TEST_F(LaunchTest, ThePlayerIsFoundThroughTheSearchPathOtherwise) {
  mkdir("path", 0755);
  writeScript("path/lettore", "touch \"$PWD/from-path\"\n");
  setenv("PATH", (dir + "/path:" + oldPath_).c_str(), 1);
  EXPECT_TRUE(Player_startfrom(dir + "/nowhere"));
  EXPECT_TRUE(waitFor("from-path"));
}

TEST_F(LaunchTest, APlayerThatCannotStartAddsALogLine) {
  setenv("PATH", (dir + "/empty").c_str(), 1);
  EXPECT_FALSE(Player_startfrom(dir));
  EXPECT_EQ(sink.texts(DisplayKind::log), std::vector<std::string>{"lettore non avviato"});
}

}  // namespace
}  // namespace zt::test
