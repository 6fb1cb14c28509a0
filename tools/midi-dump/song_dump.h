#pragma once
// The dump format: one item a line, numbers in decimal, texts escaped.
//   message <text>        each user message of the load, in order
//   division <n>
//   bpm <n>
//   tracks <N>
//   unrecognised <n>
//   songend <tick>
//   track <k> events <count> end <tick>, each followed by its
//     event <k> <index> <kind> <first> <second> <tick>
//   text <number> <text>  each TextTable entry of the load, in order
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "player/reader/song_state.h"

namespace zt {

// Appends `text` with bytes 0x20-0x7E but "\" as they are, "\" as "\\" and
// every other byte as "\xHH".
void Dump_escaped(std::string& out, std::string_view text);

// Writes the dump of `song` after a load that showed `messages`.
void Dump_song(const SongState& song, const std::vector<std::string>& messages, std::FILE* out);

}  // namespace zt
