#include "console/app/window/console_launch.h"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "common/number_text.h"
#include "console/engine/display_seam.h"

namespace zt {

namespace {

constexpr int kBatchPollMs = 50;
constexpr int kBatchGraceMs = 2000;

// The directory of the running program, with or without an application
// object.
QString programDirectory() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

}  // namespace

bool Soundfont_runbatch(const std::function<bool()>& stopRequested) {
  if (!QFileInfo(QString::fromLatin1(kLoaderBatch)).isFile()) {
    Log_line(std::string(kLoaderBatch) + " non trovato");
    return true;
  }
  QProcess loader;
  // The loader's own messages go where the console's go.
  loader.setProcessChannelMode(QProcess::ForwardedChannels);
  // The programs installed beside the console come first on its path: the
  // console's own loader runs the report tool shipped with it.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("PATH"), programDirectory() + QLatin1Char(':') +
                                                 environment.value(QStringLiteral("PATH")));
  loader.setProcessEnvironment(environment);
  // Its own process group, so that stopping it reaches what it started too.
  loader.setChildProcessModifier([] { ::setpgid(0, 0); });
  loader.start(QStringLiteral("sh"), {QString::fromLatin1(kLoaderBatch)});
  if (!loader.waitForStarted(-1)) {
    Log_line(std::string(kLoaderBatch) + " non avviato");
    return true;
  }
  bool stopped = false;
  while (!loader.waitForFinished(kBatchPollMs) && loader.state() != QProcess::NotRunning) {
    if (stopped || !stopRequested || !stopRequested()) continue;
    stopped = true;
    const pid_t group = static_cast<pid_t>(loader.processId());
    ::kill(-group, SIGTERM);
    if (!loader.waitForFinished(kBatchGraceMs)) ::kill(-group, SIGKILL);
  }
  // The console goes on with whatever report the loader left.
  if (stopped || loader.exitStatus() != QProcess::NormalExit)
    Log_line(std::string(kLoaderBatch) + " interrotto");
  else if (loader.exitCode() != 0)
    Log_line(std::string(kLoaderBatch) + " terminato con errore" + Text_str(loader.exitCode()));
  return !stopped;
}

bool Player_startfrom(const std::string& programDir) {
  QString program = QString::fromLatin1(kPlayerProgram);
  if (!programDir.empty()) {
    QFileInfo beside(QString::fromStdString(programDir) + QLatin1Char('/') + program);
    if (beside.isFile() && beside.isExecutable()) program = beside.absoluteFilePath();
  }
  if (QProcess::startDetached(program, QStringList{})) return true;
  Log_line(std::string(kPlayerProgram) + " non avviato");
  return false;
}

bool Player_start() { return Player_startfrom(programDirectory().toStdString()); }

}  // namespace zt
