#pragma once
// The console's two outside programs: the soundfont loader "sl.bat", run at
// start-up and waited for, and the player `lettore`, started on request and
// left to run on its own. A program that cannot be started adds a line to
// the message log; the console goes on.
#include <functional>
#include <string>

namespace zt {

constexpr const char* kLoaderBatch = "sl.bat";
constexpr const char* kPlayerProgram = "lettore";

// Runs "sl.bat" from the current directory with `sh` and waits, without a
// time limit, until it ends. A missing "sl.bat" is skipped with a log line.
// `stopRequested`, when given, is asked every 50 ms while the batch runs;
// once it answers true the batch and everything it started are stopped
// (SIGTERM to its process group, SIGKILL after two seconds) and the result
// is false. Otherwise the result is true.
bool Soundfont_runbatch(const std::function<bool()>& stopRequested = {});

// Starts the player from the directory of the running console, or through
// the search path when it is not there; does not wait for it. Returns false
// (after a log line) when it could not be started.
bool Player_start();
// The same with the directory to look in first given.
bool Player_startfrom(const std::string& programDir);

}  // namespace zt
