#pragma once
// The packaging suite runs the installed commands as a user would: a program
// with its arguments, environment and folder, to its end.
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <map>
#include <string>

namespace zt::test {

struct Outcome {
  bool started = false;
  bool crashed = false;  // ended by a signal, or still running at the time limit
  int code = -1;
  std::string out, err;
};

// Runs `program` in `folder` and waits up to `ms` for its end.
Outcome Program_run(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                    const QString& folder, int ms = 60000);

// This process's environment without anything that would choose a folder,
// a display or a working folder for the programs: no ZT_HOME,
// XDG_DATA_HOME, DISPLAY or WAYLAND_DISPLAY; HOME set to `home`.
QProcessEnvironment Program_env(const std::string& home);

// Every plain file directly in `folder` (hidden ones too), name to bytes.
std::map<std::string, std::string> Folder_files(const std::string& folder);

}  // namespace zt::test
