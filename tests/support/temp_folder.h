#pragma once
// Files on disk for the suites: a fresh temporary folder per test, and whole
// files written and read as bytes.
#include <string>
#include <string_view>

namespace zt::test {

// A new folder "<system temporary folder>/<prefix>-XXXXXX". With `enter` it
// is the current directory until it is left. Leaving (or the destructor)
// restores the old current directory and removes the folder with all it
// holds.
class TempFolder {
 public:
  TempFolder() = default;
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() { leave(); }

  // False when the folder cannot be made.
  bool make(const std::string& prefix, bool enter);
  void leave();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string oldCurrent_;
};

// Replaces the file at `path` with exactly `bytes`; false when it cannot.
bool File_write(const std::string& path, std::string_view bytes);
// The whole file as bytes; empty when it cannot be read.
std::string File_read(const std::string& path);

}  // namespace zt::test
