#include "tests/support/test_processes.h"

#include <signal.h>

#include <QElapsedTimer>

namespace zt::test {

QProcess* TestProcesses::start(const QString& program, const QStringList& args) {
  processes_.push_back(std::make_unique<QProcess>());
  QProcess* p = processes_.back().get();
  p->setProcessChannelMode(QProcess::SeparateChannels);
  p->start(program, args);
  return p;
}

void TestProcesses::end() {
  for (auto& p : processes_) {
    if (p->state() == QProcess::NotRunning) continue;
    // A test may have stopped it to hold a request half-way.
    ::kill(static_cast<pid_t>(p->processId()), SIGCONT);
    p->kill();
    p->waitForFinished(3000);
  }
  processes_.clear();
}

bool Process_waitline(QProcess* process, const QByteArray& line, int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    if (process->canReadLine() || process->waitForReadyRead(100)) {
      while (process->canReadLine())
        if (process->readLine().trimmed() == line) return true;
    }
    if (process->state() == QProcess::NotRunning && !process->canReadLine()) return false;
  }
  return false;
}

}  // namespace zt::test
