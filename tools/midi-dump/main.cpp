// midi-dump FILE: loads FILE exactly as the player does (reset, load, empty
// song check) and prints the resulting song, one item a line.
#include <cstdio>

#include "player/reader/song_state.h"
#include "tools/midi-dump/recording_host.h"
#include "tools/midi-dump/song_dump.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: midi-dump FILE\n");
    return 2;
  }
  zt::RecordingHost host;
  zt::ResetSong(zt::songState, host);
  zt::LoadSong(zt::songState, argv[1], host);
  zt::Song_checkempty(zt::songState, host);
  zt::Dump_song(zt::songState, host.messages, stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
