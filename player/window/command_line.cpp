#include "player/window/command_line.h"

namespace zt {

std::string Player_filename(const std::vector<std::string>& args) {
  std::string line;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) line += ' ';
    line += args[i];
  }
  if (line.empty()) return kDefaultSong;
  std::string name;
  for (char c : line)
    if (c != '"') name += c;
  return name;
}

}  // namespace zt
