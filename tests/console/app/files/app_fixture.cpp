#include "tests/console/app/files/app_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "console/app/files/file_fields.h"
#include "console/app/files/presets.h"

namespace zt::test {

namespace fs = std::filesystem;

void FilesTest::SetUp() {
  oldDir_ = fs::current_path().string();
  std::string pattern = (fs::temp_directory_path() / "zt-app-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  dir = pattern;
  fs::current_path(dir);
  State_reset();
  for (auto& name : programName) name.clear();
  presetName = "consolle";
  Display_reset();
  Display_attach(&sink);
}

void FilesTest::TearDown() {
  Display_attach(nullptr);
  Display_reset();
  fs::current_path(oldDir_);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

void FilesTest::writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string FilesTest::readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool FilesTest::exists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> FilesTest::listing() const {
  std::vector<std::string> names;
  for (auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void Corpus_write(const std::string& fuzzer, const std::string& name, std::string_view bytes) {
  const char* root = std::getenv("ZT_CORPUS_DIR");
  if (!root || !*root) return;
  fs::path folder = fs::path(root) / fuzzer;
  std::error_code ec;
  fs::create_directories(folder, ec);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string presetLine(int on, std::string_view label, int volume, int pan, int shift, int multi) {
  return Text_print(on) + "," + std::string(label) + "," + Text_print(volume) + "," + Text_print(pan) + "," +
         Text_print(shift) + "," + Text_print(multi) + "\r\n";
}

}  // namespace zt::test
