#include "tests/console/app/files/app_fixture.h"

#include <filesystem>

#include "console/app/files/file_fields.h"
#include "console/app/files/presets.h"

namespace zt::test {

namespace fs = std::filesystem;

void FilesTest::SetUp() {
  ASSERT_TRUE(folder_.make("zt-app", true));
  dir = folder_.path();
  State_reset();
  for (auto& name : programName) name.clear();
  presetName = "consolle";
  Display_reset();
  Display_attach(&sink);
}

void FilesTest::TearDown() {
  Display_attach(nullptr);
  Display_reset();
  folder_.leave();
}

void FilesTest::writeFile(const std::string& path, std::string_view bytes) {
  File_write(path, bytes);
}

std::string FilesTest::readFile(const std::string& path) { return File_read(path); }

bool FilesTest::exists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> FilesTest::listing() const {
  std::vector<std::string> names;
  for (auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string presetLine(int on, std::string_view label, int volume, int pan, int shift, int multi) {
  return Text_print(on) + "," + std::string(label) + "," + Text_print(volume) + "," +
         Text_print(pan) + "," + Text_print(shift) + "," + Text_print(multi) + "\r\n";
}

}  // namespace zt::test
