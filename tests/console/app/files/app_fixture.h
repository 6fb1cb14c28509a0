#pragma once
// The console's file operations run in a fresh temporary directory that is
// the current directory for the test (the files have bare names), with a
// display sink that records every request.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"

namespace zt::test {

struct RecordingSink : DisplaySink {
  std::vector<DisplayRequest> requests;
  void display(const DisplayRequest& r) override { requests.push_back(r); }
  void sendFailure(std::string_view) override {}

  std::vector<DisplayRequest> of(DisplayKind kind) const {
    std::vector<DisplayRequest> out;
    for (auto& r : requests)
      if (r.kind == kind) out.push_back(r);
    return out;
  }
  std::vector<std::string> texts(DisplayKind kind) const {
    std::vector<std::string> out;
    for (auto& r : of(kind)) out.emplace_back(r.text.view());
    return out;
  }
};

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static void writeFile(const std::string& path, std::string_view bytes);
  static std::string readFile(const std::string& path);
  static bool exists(const std::string& path);
  // Names of the files in the temporary directory.
  std::vector<std::string> listing() const;

  RecordingSink sink;
  std::string dir;

 private:
  std::string oldDir_;
};

// Keeps `bytes` as a seed for the fuzzer `fuzzer` when ZT_CORPUS_DIR is set.
void Corpus_write(const std::string& fuzzer, const std::string& name, std::string_view bytes);

// A preset line from its six fields, the way the console writes them.
std::string presetLine(int on, std::string_view label, int volume, int pan, int shift, int multi);

}  // namespace zt::test
