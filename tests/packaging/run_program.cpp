#include "tests/packaging/run_program.h"

#include <QProcess>
#include <filesystem>

#include "tests/support/temp_folder.h"

namespace zt::test {

Outcome Program_run(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                    const QString& folder, int ms) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(folder);
  process.start(program, args);
  Outcome outcome;
  outcome.started = process.waitForStarted(10000);
  if (!outcome.started) return outcome;
  process.closeWriteChannel();
  if (!process.waitForFinished(ms)) {
    process.kill();
    process.waitForFinished(5000);
    outcome.crashed = true;
  }
  outcome.crashed = outcome.crashed || process.exitStatus() != QProcess::NormalExit;
  outcome.code = process.exitCode();
  outcome.out = process.readAllStandardOutput().toStdString();
  outcome.err = process.readAllStandardError().toStdString();
  return outcome;
}

QProcessEnvironment Program_env(const std::string& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"ZT_HOME", "XDG_DATA_HOME", "DISPLAY", "WAYLAND_DISPLAY"})
    env.remove(QString::fromLatin1(name));
  env.insert(QStringLiteral("HOME"), QString::fromStdString(home));
  return env;
}

std::map<std::string, std::string> Folder_files(const std::string& folder) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.is_regular_file())
      files[entry.path().filename().string()] = File_read(entry.path().string());
  return files;
}

}  // namespace zt::test
