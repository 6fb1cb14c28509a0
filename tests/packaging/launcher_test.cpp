// The launchers zt-consolle and zt-lettore in an installed layout: bin/ with
// the launchers and the programs, share/zt/ with the data the build made.
// The working folder they choose and prepare, and the real console started
// in it.
#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>

#include "tests/packaging/run_program.h"
#include "tests/support/temp_folder.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.make("zt-launcher", false));
    const fs::path root = folder.path();
    prefix = root / "prefix";
    home = root / "home";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "zt");
    fs::create_directories(home);
    fs::copy_file(ZT_LAUNCHER, prefix / "bin" / "zt-consolle");
    fs::create_symlink("zt-consolle", prefix / "bin" / "zt-lettore");
    fs::create_symlink(ZT_CONSOLLE, prefix / "bin" / "consolle");
    // The player stands in as a script that says where it runs and what it got.
    ASSERT_TRUE(test::File_write((prefix / "bin" / "lettore").string(),
                                 "#!/bin/sh\npwd\nfor a in \"$@\"; do echo \"arg $a\"; done\n"));
    fs::permissions(prefix / "bin" / "lettore", fs::perms::owner_all);
    for (const char* name :
         {"logus.bmp", "D_TOCCA.MID", "consolle.ini", "consolle1.ini", "consolle2.ini", "sl.bat"})
      fs::copy_file(fs::path(ZT_DATA_DIR) / name, prefix / "share" / "zt" / name);
    installed = test::Folder_files((prefix / "share" / "zt").string());
    env = test::Program_env(home.string());
  }

  test::Outcome launch(const char* launcher, const QStringList& args, const fs::path& from) {
    return test::Program_run(QString::fromStdString((prefix / "bin" / launcher).string()), args,
                             env, QString::fromStdString(from.string()));
  }
  // The folder `zt-consolle --prepare` prepares and names.
  std::string prepare() {
    const test::Outcome o = launch("zt-consolle", {"--prepare"}, home);
    EXPECT_TRUE(o.started && !o.crashed && o.code == 0) << o.err;
    return o.out;
  }

  test::TempFolder folder;
  fs::path prefix, home;
  std::map<std::string, std::string> installed;
  QProcessEnvironment env;
};

TEST_F(Launcher, FirstUseFillsTheXdgFolderAndSecondUseOnlyWhatIsMissing) {
  const fs::path working = home / ".local" / "share" / "zt";
  EXPECT_EQ(working.string() + "\n", prepare());
  EXPECT_EQ(installed, test::Folder_files(working.string()));
  EXPECT_FALSE(fs::exists(home / "zt"));

  // The organist changed a preset, lost the song and added a file.
  ASSERT_TRUE(test::File_write((working / "consolle.ini").string(), "mine\r\n"));
  fs::remove(working / "D_TOCCA.MID");
  ASSERT_TRUE(test::File_write((working / "bach.mid").string(), "MThd"));
  EXPECT_EQ(working.string() + "\n", prepare());
  std::map<std::string, std::string> expected = installed;
  expected["consolle.ini"] = "mine\r\n";
  expected["bach.mid"] = "MThd";
  EXPECT_EQ(expected, test::Folder_files(working.string()));

  // XDG_DATA_HOME moves it; a relative one is not a place.
  env.insert("XDG_DATA_HOME", QString::fromStdString((home / "data").string()));
  EXPECT_EQ((home / "data" / "zt").string() + "\n", prepare());
  env.insert("XDG_DATA_HOME", "relative/data");
  EXPECT_EQ(working.string() + "\n", prepare());
}

TEST_F(Launcher, ZtHomeKeepsTheUsersOwnFiles) {
  const fs::path organ = folder.path() + "/my organ";
  fs::create_directories(organ);
  const std::map<std::string, std::string> own = {{"consolle.cfg", " 2 Midi Out\r\n 1 Midi In\r\n"},
                                                  {"consolle.ini", "my registration\r\n"},
                                                  {"sl.bat", "echo my own loader\n"},
                                                  {"logus.bmp", "BM not really"}};
  for (const auto& [name, bytes] : own)
    ASSERT_TRUE(test::File_write((organ / name).string(), bytes));
  env.insert("ZT_HOME", QString::fromStdString(organ.string()));
  EXPECT_EQ(organ.string() + "\n", prepare());
  std::map<std::string, std::string> expected = installed;
  for (const auto& [name, bytes] : own) expected[name] = bytes;
  EXPECT_EQ(expected, test::Folder_files(organ.string()));
  EXPECT_FALSE(fs::exists(home / ".local"));
}

TEST_F(Launcher, AnEarlierHomeZtFolderStaysInUse) {
  // A ~/zt that is no console's folder is left alone.
  fs::create_directories(home / "zt");
  ASSERT_TRUE(test::File_write((home / "zt" / "notes.txt").string(), "zt"));
  EXPECT_EQ((home / ".local/share/zt").string() + "\n", prepare());
  EXPECT_EQ(1u, test::Folder_files((home / "zt").string()).size());

  // The folder the earlier run command made, with the organist's settings.
  fs::remove_all(home / ".local");
  ASSERT_TRUE(test::File_write((home / "zt" / "consolle.cfg").string(), " 0\r\n 0\r\n"));
  ASSERT_TRUE(test::File_write((home / "zt" / "consolle.ini").string(), "old registration\r\n"));
  EXPECT_EQ((home / "zt").string() + "\n", prepare());
  EXPECT_FALSE(fs::exists(home / ".local"));
  EXPECT_EQ("old registration\r\n", test::File_read((home / "zt" / "consolle.ini").string()));
  EXPECT_EQ(installed.at("sl.bat"), test::File_read((home / "zt" / "sl.bat").string()));
}

TEST_F(Launcher, HelpAndVersionPrepareNothing) {
  for (const char* arg : {"--help", "--version"}) {
    const test::Outcome o = launch("zt-consolle", {arg}, home);
    EXPECT_EQ(0, o.code) << o.err;
    EXPECT_NE(std::string::npos, o.out.find("consolle")) << o.out;
  }
  EXPECT_TRUE(fs::is_empty(home));
}

TEST_F(Launcher, ThePlayerStartsInTheWorkingFolderOrWithItsFileWhereCalled) {
  const fs::path working = home / ".local" / "share" / "zt";
  test::Outcome o = launch("zt-lettore", {}, folder.path());
  EXPECT_EQ(0, o.code) << o.err;
  EXPECT_EQ(working.string() + "\n", o.out);
  EXPECT_TRUE(fs::exists(working / "D_TOCCA.MID"));

  o = launch("zt-lettore", {"songs/a b.mid"}, folder.path());
  EXPECT_EQ(0, o.code) << o.err;
  EXPECT_EQ(fs::path(folder.path()).string() + "\narg songs/a b.mid\n", o.out);
}

// The tree `cmake --install` makes: each file where the desktop looks for
// it, and the console started by its desktop entry's command runs in the
// prepared working folder, its loader finds the report tool installed beside
// it, and at its end its settings are saved there.
TEST_F(Launcher, InstalledTreeStartsTheConsoleFromItsDesktopEntry) {
  const fs::path usr = folder.path() + "/usr";
  const test::Outcome install = test::Program_run(
      ZT_CMAKE, {"--install", ZT_BUILD_DIR, "--prefix", QString::fromStdString(usr.string())}, env,
      QString::fromStdString(folder.path()));
  ASSERT_EQ(0, install.code) << install.out << install.err;
  // Only the working folder's files are in share/zt.
  EXPECT_EQ(installed, test::Folder_files((usr / "share/zt").string()));
  EXPECT_EQ(installed.size(),
            static_cast<size_t>(
                std::distance(fs::directory_iterator(usr / "share/zt"), fs::directory_iterator())));
  for (const char* file :
       {"bin/consolle", "bin/lettore", "bin/zt-soundfont-report", "bin/zt-consolle",
        "bin/zt-lettore", "share/man/man1/consolle.1", "share/man/man1/lettore.1",
        "share/man/man1/zt-consolle.1", "share/metainfo/io.github.zt_organ.consolle.metainfo.xml",
        "share/icons/hicolor/256x256/apps/io.github.zt_organ.lettore.png"})
    EXPECT_TRUE(fs::exists(usr / file)) << file;
  const std::string entry =
      test::File_read((usr / "share/applications/io.github.zt_organ.consolle.desktop").string());
  ASSERT_NE(std::string::npos, entry.find("\nExec=zt-consolle\n"));

  const fs::path working = home / ".local" / "share" / "zt";
  env.insert("PATH", QString::fromStdString((usr / "bin").string()) + ":" + env.value("PATH"));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("ZT_AUDIO_DRIVER", "none");
  env.insert("ZT_LINK_DIR", QString::fromStdString(folder.path()));
  QProcess console;
  console.setProcessEnvironment(env);
  console.setWorkingDirectory(QString::fromStdString(home.string()));
  console.start("sh", {"-c", "exec zt-consolle"});
  ASSERT_TRUE(console.waitForStarted(10000));
  const std::string pid = std::to_string(console.processId());

  QElapsedTimer clock;
  clock.start();
  while (!fs::exists(working / "caricati.txt") && console.state() == QProcess::Running &&
         clock.elapsed() < 60000)
    QThread::msleep(50);
  ASSERT_EQ(QProcess::Running, console.state()) << console.readAllStandardError().toStdString();
  ASSERT_TRUE(fs::exists(working / "caricati.txt"));
  // The command became the installed console, in the working folder.
  EXPECT_EQ(usr / "bin" / "consolle", fs::read_symlink("/proc/" + pid + "/exe"));
  EXPECT_EQ(working, fs::read_symlink("/proc/" + pid + "/cwd"));
  EXPECT_NE(std::string::npos, test::File_read((working / "caricati.txt").string()).find("]"));

  ::kill(static_cast<pid_t>(console.processId()), SIGTERM);
  ASSERT_TRUE(console.waitForFinished(30000));
  EXPECT_EQ(QProcess::NormalExit, console.exitStatus());
  EXPECT_EQ(0, console.exitCode());
  std::map<std::string, std::string> files = test::Folder_files(working.string());
  EXPECT_TRUE(files.count("consolle.cfg"));
  for (const auto& [name, bytes] : installed) EXPECT_TRUE(files.count(name)) << name;
}

}  // namespace
}  // namespace zt
