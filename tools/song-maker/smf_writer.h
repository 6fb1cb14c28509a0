#pragma once
// A score written out as a Standard MIDI File, format 1: a first track with
// the title, the time signature and the tempi, then one track per score
// track with its name, its program change and its notes.
#include <string>

#include "tools/song-maker/note_text.h"

namespace zt::song {

// The file's bytes. At one tick, note offs come before note ons, so a note
// struck again right where it ends sounds again.
std::string Smf_write(const Score& score);

}  // namespace zt::song
