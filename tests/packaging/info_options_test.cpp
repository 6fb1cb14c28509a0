// --help and --version of both programs, run as a user would, with Qt told to
// use a window system that is not there: a program that made its application
// object would fail, one that opened or wrote a file would leave it in the
// empty folder it runs in or in the empty home.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/packaging/run_program.h"
#include "tests/support/temp_folder.h"

namespace zt {
namespace {

class InfoOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.make("zt-info", false));
    home = folder.path() + "/home";
    current = folder.path() + "/current";
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(current);
    env = test::Program_env(home);
    env.insert("QT_QPA_PLATFORM", "xcb");
  }

  test::Outcome run(const char* program, const QStringList& args) {
    return test::Program_run(QString::fromLatin1(program), args, env,
                             QString::fromStdString(current), 30000);
  }

  // Nothing was written in the current folder or in the home.
  void expectNothingWritten() {
    EXPECT_TRUE(std::filesystem::is_empty(current));
    EXPECT_TRUE(std::filesystem::is_empty(home));
  }

  test::TempFolder folder;
  std::string home, current;
  QProcessEnvironment env;
};

TEST_F(InfoOptions, ConsolleAnswersWithoutAWindowOrAFile) {
  for (const QStringList& args : {QStringList{"--help"}, QStringList{"-h"},
                                  QStringList{"--anything", "--help", "--version"}}) {
    const test::Outcome o = run(ZT_CONSOLLE, args);
    ASSERT_TRUE(o.started);
    EXPECT_FALSE(o.crashed) << o.err;
    EXPECT_EQ(0, o.code) << args.join(' ').toStdString();
    EXPECT_EQ(0u, o.out.rfind("Usage: consolle", 0)) << o.out;
    EXPECT_NE(std::string::npos, o.out.find("zt-consolle"));
    EXPECT_EQ("", o.err);
  }
  const test::Outcome version = run(ZT_CONSOLLE, {"--version"});
  EXPECT_EQ(0, version.code);
  EXPECT_EQ("consolle (ZT) " ZT_VERSION "\n", version.out);
  EXPECT_EQ("", version.err);
  expectNothingWritten();
}

TEST_F(InfoOptions, LettoreAnswersWithoutAWindowOrAFile) {
  for (const char* arg : {"--help", "-h"}) {
    const test::Outcome o = run(ZT_LETTORE, {arg});
    ASSERT_TRUE(o.started);
    EXPECT_FALSE(o.crashed) << o.err;
    EXPECT_EQ(0, o.code) << arg;
    EXPECT_EQ(0u, o.out.rfind("Usage: lettore [FILE]", 0)) << o.out;
    EXPECT_EQ("", o.err);
  }
  const test::Outcome version = run(ZT_LETTORE, {"--version"});
  EXPECT_EQ(0, version.code);
  EXPECT_EQ("lettore (ZT) " ZT_VERSION "\n", version.out);
  expectNothingWritten();
}

// The player's command line is a file name: only the option alone is one,
// and "./--help" is a file to play. The player then goes on to its window,
// which this window system cannot give it.
TEST_F(InfoOptions, LettoreTakesAnythingElseAsTheFileToPlay) {
  for (const QStringList& args : {QStringList{"./--help"}, QStringList{"my", "--help"}}) {
    const test::Outcome o = run(ZT_LETTORE, args);
    ASSERT_TRUE(o.started);
    EXPECT_TRUE(o.crashed || o.code != 0) << args.join(' ').toStdString();
    EXPECT_EQ(std::string::npos, o.out.find("Usage")) << o.out;
  }
}

}  // namespace
}  // namespace zt
