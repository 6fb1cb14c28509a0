#pragma once
// Seed files for the fuzzers, written by the suites as they build their
// inputs: when ZT_CORPUS_DIR is set, `bytes` is kept as
// $ZT_CORPUS_DIR/<fuzzer>/<name>; otherwise nothing is written.
#include <string>
#include <string_view>

namespace zt::test {

void Corpus_write(const std::string& fuzzer, const std::string& name, std::string_view bytes);

}  // namespace zt::test
