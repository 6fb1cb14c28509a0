#pragma once
// What the fuzzers that read files share: a private folder for the files
// (the fuzzer's own working directory, with its corpus and artifacts, is
// left alone), each input written as a file, and checks that fail as a
// crash the fuzzer reports. Header only: the fuzzers link nothing else of
// the test support.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace zt::test {

// Makes "/tmp/<prefix>-XXXXXX" and returns its path; aborts if it cannot.
inline std::string Fuzz_folder(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  if (!mkdtemp(pattern.data())) abort();
  return pattern;
}

// The input as the file `path`. A new file each time: truncating one in
// place makes ext4 flush it to the disk on close, which costs milliseconds
// per input.
inline void Fuzz_writefile(const std::string& path, const uint8_t* data, size_t size) {
  std::remove(path.c_str());
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

inline void Fuzz_check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace zt::test
