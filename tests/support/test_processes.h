#pragma once
// Qt programs of the suites: the one application object, and helper
// processes (link peers, the console) started by a test and ended with it.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace zt::test {

// Makes the program's application object (QCoreApplication or QApplication)
// unless there already is one; it lives until the program ends.
template <class App>
void Qt_app(const char* name) {
  static int argc = 1;
  static QByteArray program(name);
  static char* argv[] = {program.data(), nullptr};
  if (!App::instance()) new App(argc, argv);
}

// Processes a test starts; all still running are ended (resumed first if
// stopped, then killed) when the set goes or end() is called.
class TestProcesses {
 public:
  TestProcesses() = default;
  TestProcesses(const TestProcesses&) = delete;
  TestProcesses& operator=(const TestProcesses&) = delete;
  ~TestProcesses() { end(); }

  // Starts `program` with `args`, standard output and error kept apart
  // (waitForStarted tells whether it runs).
  QProcess* start(const QString& program, const QStringList& args);
  void end();

 private:
  std::vector<std::unique_ptr<QProcess>> processes_;
};

// Waits up to `ms` for a line reading `line` (blanks around it ignored) on
// the process's standard output; false when the time is up or the process
// ended first.
bool Process_waitline(QProcess* process, const QByteArray& line, int ms = 10000);

}  // namespace zt::test
