#include "tests/support/temp_folder.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zt::test {

namespace fs = std::filesystem;

bool TempFolder::make(const std::string& prefix, bool enter) {
  leave();
  std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) return false;
  path_ = pattern;
  if (enter) {
    oldCurrent_ = fs::current_path().string();
    fs::current_path(path_);
  }
  return true;
}

void TempFolder::leave() {
  std::error_code ec;
  if (!oldCurrent_.empty()) fs::current_path(oldCurrent_, ec);
  if (!path_.empty()) fs::remove_all(path_, ec);
  oldCurrent_.clear();
  path_.clear();
}

bool File_write(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return out.good();
}

std::string File_read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace zt::test
