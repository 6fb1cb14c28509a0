// Runs the control tests inside a QApplication on the offscreen platform.
#include <gtest/gtest.h>
#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  // Death tests fork; the thread-safe style re-runs the test in a fresh
  // process instead of forking a process that already runs Qt's threads.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
