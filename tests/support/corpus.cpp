#include "tests/support/corpus.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zt::test {

void Corpus_write(const std::string& fuzzer, const std::string& name, std::string_view bytes) {
  const char* root = std::getenv("ZT_CORPUS_DIR");
  if (!root || !*root) return;
  const std::filesystem::path folder = std::filesystem::path(root) / fuzzer;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace zt::test
