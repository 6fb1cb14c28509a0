#pragma once
// The console's file operations run in a fresh temporary directory that is
// the current directory for the test (the files have bare names), with a
// display sink that records every request.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "console/engine/console_state.h"
#include "tests/support/corpus.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_folder.h"

namespace zt::test {

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
  TempFolder folder_;
};

// A preset line from its six fields, the way the console writes them.
std::string presetLine(int on, std::string_view label, int volume, int pan, int shift, int multi);

}  // namespace zt::test
