#include "platform/link/link_name.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zt {

namespace {

bool isFolder(const char* path) {
  struct stat st;
  return path && *path && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string Link_folder() {
  std::string base = "/tmp";
  if (const char* dir = std::getenv("ZT_LINK_DIR"); dir && *dir) {
    base = dir;
  } else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); isFolder(runtime)) {
    base = runtime;
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  if (base == "/") base.clear();
  return base + "/zt-" + std::to_string(::geteuid());
}

std::string Link_socketname(const std::string& caption) {
  return Link_folder() + "/" + caption + ".link";
}

std::string Link_privatefolder(const std::string& folder) {
  const std::string name = "the link folder " + folder;
  struct stat st;
  if (::lstat(folder.c_str(), &st) != 0) {
    if (errno != ENOENT) return name + " cannot be read: " + std::strerror(errno);
    // Another process of this user may make it at the same moment.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
      return name + " cannot be made: " + std::strerror(errno);
    if (::lstat(folder.c_str(), &st) != 0) return name + " cannot be read: " + std::strerror(errno);
  }
  if (!S_ISDIR(st.st_mode)) return name + " is not a folder";
  if (st.st_uid != ::geteuid())
    return name + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
  if ((st.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    return name + " is open to other users (mode " + mode + ")";
  }
  return std::string();
}

}  // namespace zt
