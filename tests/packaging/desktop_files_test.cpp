// What the desktop learns about the programs: the desktop entries, the
// AppStream metainfo and the manual pages, checked by the tools the desktop
// and the package archive check them with; and the icons the entries name,
// in every size the build draws.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "tests/packaging/run_program.h"
#include "tests/support/temp_folder.h"

namespace zt {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> sources(const std::string& ending) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(ZT_PACKAGING_DIR)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > ending.size() &&
        name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
      found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// The value of `key` in a desktop entry, empty when it has none.
std::string entryValue(const fs::path& entry, const std::string& key) {
  std::ifstream in(entry);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  return {};
}

test::Outcome tool(const QString& program, const QStringList& args) {
  test::TempFolder folder;
  EXPECT_TRUE(folder.make("zt-check", false));
  const test::Outcome o = test::Program_run(program, args, test::Program_env(folder.path()),
                                            QString::fromStdString(folder.path()));
  EXPECT_TRUE(o.started) << program.toStdString() << " is not installed (scripts/setup.sh --tests)";
  return o;
}

TEST(DesktopFiles, EntriesValidateAndNameTheLaunchersAndTheirIcons) {
  const std::vector<fs::path> entries = sources(".desktop");
  ASSERT_EQ(2u, entries.size());
  for (const fs::path& entry : entries) {
    const test::Outcome o = tool("desktop-file-validate", {QString::fromStdString(entry.string())});
    EXPECT_EQ(0, o.code) << o.out << o.err;
    EXPECT_EQ("", o.out + o.err);
  }
  std::set<std::string> commands;
  for (const fs::path& entry : entries) {
    const std::string exec = entryValue(entry, "Exec");
    const std::string command = exec.substr(0, exec.find(' '));
    commands.insert(command);
    EXPECT_TRUE(fs::exists(fs::path(ZT_LAUNCHER).parent_path() / command)) << command;
    const std::string icon = entryValue(entry, "Icon");
    EXPECT_EQ(entry.stem().string(), icon);
    EXPECT_TRUE(fs::exists(fs::path(ZT_ICON_DIR) / "48x48" / "apps" / (icon + ".png"))) << icon;
  }
  EXPECT_EQ((std::set<std::string>{"zt-consolle", "zt-lettore"}), commands);
}

TEST(DesktopFiles, MetainfoValidatesAndCarriesTheProjectVersion) {
  const std::vector<fs::path> metainfo = sources(".metainfo.xml");
  ASSERT_EQ(1u, metainfo.size());
  const test::Outcome o = tool("appstreamcli", {"validate", "--no-net", "--pedantic",
                                                QString::fromStdString(metainfo[0].string())});
  EXPECT_EQ(0, o.code) << o.out << o.err;
  // Not even a pedantic remark: the only line is the verdict.
  EXPECT_EQ(1, std::count(o.out.begin(), o.out.end(), '\n')) << o.out;
  // The newest release named is the version the programs report.
  const std::string text = test::File_read(metainfo[0].string());
  std::smatch release;
  ASSERT_TRUE(std::regex_search(text, release, std::regex("<release version=\"([^\"]+)\"")));
  EXPECT_EQ(ZT_VERSION, release[1].str());
  // It launches the console's entry.
  EXPECT_NE(std::string::npos, text.find(">" + sources(".desktop")[0].filename().string() + "<"));
}

TEST(DesktopFiles, ManualPagesRenderWithoutWarningsAndNameEveryKnob) {
  std::string consolle;
  for (const char* page : {"consolle.1", "lettore.1"}) {
    const std::string path = std::string(ZT_PACKAGING_DIR) + "/" + page;
    const test::Outcome o =
        tool("man", {"--warnings", "-l", "-P", "cat", QString::fromStdString(path)});
    EXPECT_EQ(0, o.code) << page;
    EXPECT_EQ("", o.err) << page;
    for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "ENVIRONMENT", "SEE ALSO"})
      EXPECT_NE(std::string::npos, o.out.find(section)) << page << " has no " << section;
    EXPECT_NE(std::string::npos, o.out.find("ZT " ZT_VERSION)) << page << " is not of this version";
    if (std::string(page) == "consolle.1") consolle = o.out;
  }
  // Every environment variable of the README's table, and the working folder's.
  const std::string readme = test::File_read(ZT_README);
  const std::regex knob("\\n\\| `(ZT_[A-Z_]+)` \\|");
  std::set<std::string> knobs{"ZT_HOME"};
  for (auto it = std::sregex_iterator(readme.begin(), readme.end(), knob);
       it != std::sregex_iterator(); ++it)
    knobs.insert((*it)[1].str());
  EXPECT_GE(knobs.size(), 6u);
  for (const std::string& name : knobs)
    EXPECT_NE(std::string::npos, consolle.find(name)) << "consolle.1 does not name " << name;
}

TEST(DesktopFiles, IconsInEveryHicolorSize) {
  std::set<int> sizes;
  for (const auto& folder : fs::directory_iterator(ZT_ICON_DIR)) {
    const int size = std::stoi(folder.path().filename().string());
    sizes.insert(size);
    for (const char* program : {"consolle", "lettore"}) {
      const fs::path file =
          folder.path() / "apps" / (std::string("io.github.zt_organ.") + program + ".png");
      QImage icon(QString::fromStdString(file.string()));
      ASSERT_FALSE(icon.isNull()) << file;
      EXPECT_EQ(QSize(size, size), icon.size()) << file;
      // Rounded corners see through; the middle is the opaque panel.
      EXPECT_EQ(0, qAlpha(icon.pixel(0, 0))) << file;
      EXPECT_EQ(255, qAlpha(icon.pixel(size / 2, size / 2))) << file;
    }
  }
  for (int size : {16, 24, 32, 48, 64, 128, 256}) EXPECT_TRUE(sizes.count(size)) << size;
}

}  // namespace
}  // namespace zt
