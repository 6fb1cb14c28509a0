#pragma once
// Reading a whole file into memory in one piece.
#include <string>

namespace zt {

// Replaces `image` with the bytes of the file at `path`. Returns false if
// the file cannot be opened or read (image is then empty).
bool ReadFileImage(const std::string& path, std::string& image);

}  // namespace zt
