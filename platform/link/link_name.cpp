#include "platform/link/link_name.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace zt {

namespace {

bool IsFolder(const char* path) {
  struct stat st;
  return path && *path && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string Link_socketname(const std::string& caption) {
  std::string folder = "/tmp";
  if (const char* dir = std::getenv("ZT_LINK_DIR"); dir && *dir) {
    folder = dir;
  } else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); IsFolder(runtime)) {
    folder = runtime;
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder + "/" + caption + "-" + std::to_string(::getuid()) + ".link";
}

}  // namespace zt
