#pragma once
// The two requests a program answers before it starts anything (no window,
// no device, no file touched): its help and its version.
#include <string>
#include <vector>

namespace zt {

enum class InfoRequest { none, help, version };

// The request among a program's arguments (argv[1..]): "--help" or "-h" asks
// for the help, "--version" for the version. With `soleArgument` only a
// command line of exactly that one argument counts (the player, whose command
// line is otherwise a file name, so "./--help" stays a file); otherwise any
// argument does and the first such one decides (the console, which ignores
// every other argument).
InfoRequest Program_inforequest(const std::vector<std::string>& args, bool soleArgument);

// Writes `text` to the standard output. The program's exit code: 0, or 1 when
// the text could not be written.
int Program_printinfo(const std::string& text);

}  // namespace zt
