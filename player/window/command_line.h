#pragma once
// The player's one command-line argument: the file to play.
#include <string>
#include <vector>

namespace zt {

inline constexpr const char* kDefaultSong = "D_TOCCA.MID";

// The file name from the program's arguments (argv[1..], joined by blanks as
// one command line): every double quote removed; "D_TOCCA.MID" (in the
// current folder) when there are no arguments.
std::string Player_filename(const std::vector<std::string>& args);

}  // namespace zt
