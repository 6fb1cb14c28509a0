#include "player/reader/file_image.h"

#include <cstdio>
#include <memory>
#include <new>
#include <system_error>
#include <filesystem>

namespace zt {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool ReadFileImage(const std::string& path, std::string& image) {
  image = std::string();
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  try {
    // Size the image once for regular files; anything else grows as read.
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!error) image.reserve(static_cast<size_t>(size));
    char buffer[1 << 16];
    for (;;) {
      const size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
      image.append(buffer, got);
      if (got < sizeof buffer) break;
    }
  } catch (const std::bad_alloc&) {
    image = std::string();
    return false;
  }
  if (std::ferror(file.get())) {
    image = std::string();
    return false;
  }
  return true;
}

}  // namespace zt
