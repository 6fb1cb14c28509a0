// song-maker SCORE OUT.MID: writes the Standard MIDI File of a score written
// down as text (see note_text.h).
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/song-maker/note_text.h"
#include "tools/song-maker/smf_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: song-maker SCORE OUT.MID\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "song-maker: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::string error;
  const auto score = zt::song::Score_read(text.str(), error);
  if (!score) {
    std::cerr << argv[1] << ": " << error << "\n";
    return 1;
  }
  const std::string bytes = zt::song::Smf_write(*score);
  // Written beside the target and renamed over it, so a failed run never
  // leaves half a file.
  const std::string temporary = std::string(argv[2]) + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::cerr << "song-maker: cannot write " << temporary << "\n";
      return 1;
    }
  }
  if (std::rename(temporary.c_str(), argv[2]) != 0) {
    std::cerr << "song-maker: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
