#pragma once
// The player's in-memory song: everything playback needs, built by LoadSong
// from one file and replaced by the next load, with the operations that
// empty, load and check it. They share one clearing of the song's tables,
// so what a reset empties and what a load replaces stay the same.
#include <cstdint>
#include <string>
#include <vector>

#include "player/reader/song_host.h"
#include "player/reader/song_memory.h"

namespace zt {

// The texts the reader shows the user.
inline constexpr const char* kMsgNoFile = "No midi file loaded!";
inline constexpr const char* kMsgNoData = "Nessun dato disponibile!";
inline constexpr const char* kMsgUnrecognised = "Meta non riconosciuti:";

// One stored event of a track, as playback reads it.
struct MidiEvent {
  // Channel messages: the status byte with its channel (0x80-0xEF).
  // Texts: the meta type 1-6. Tempo: 81. Time signature: 88.
  int64_t kind = 0;
  // First data byte; for texts the TextTable entry number; for a tempo the
  // tempo in BPM; for a time signature its numerator.
  int64_t first = 0;
  // Second data byte (0 for program change and channel pressure); 0 for
  // texts and tempo; for a time signature the denominator.
  int64_t second = 0;
  // Absolute time in ticks from the start of the event's track.
  int64_t tick = 0;
};

// Event kinds the reader stores besides channel messages and texts 1-6.
inline constexpr int64_t kKindTempo = 81;
inline constexpr int64_t kKindTimeSignature = 88;

// The records of one track, numbered from 1 at index 0.
using EventList = std::vector<MidiEvent, EventTableAllocator<MidiEvent>>;

struct SongState {
  // The whole file as read.
  std::string fileImage;
  // Ticks per quarter note, header bytes 13-14 big-endian; the time-code
  // form (top bit set) is not told apart.
  int32_t division = 0;
  // Tempo in beats per minute: 120 when the file has no tempo event,
  // otherwise the last tempo event in reading order.
  int32_t BPM = 0;

  // SongEventTable: one record list per track, track k at index k - 1.
  // Each list is sized once per load to exactly what the file holds, so
  // playback never allocates.
  std::vector<EventList> SongEventTable;
  // Per track (index k - 1), the absolute tick of its last event.
  std::vector<int64_t> trackEndTick;
  // The largest track end tick.
  int64_t SongEndTick = 0;

  // TextTable: the texts of this load, in reading order. The first entry has
  // number textTableFirst, the next textTableFirst + 1, and so on.
  std::vector<std::string> TextTable;
  int64_t textTableFirst = 1;
  // Entry counter of the TextTable. Never cleared between loads, so entry
  // numbers keep rising from one file to the next while the program runs.
  int64_t textCounter = 0;

  // Events of the last load that the reader could not classify.
  int32_t unrecognised = 0;

  int32_t trackCount() const { return static_cast<int32_t>(SongEventTable.size()); }
  // The text of entry `number` of this load, or nullptr if it is not here.
  const std::string* textEntry(int64_t number) const;
};

// The player's one song.
extern SongState songState;

// Stops playback and empties the song before a load: tables, file image,
// division and tempo. The TextTable stays until the load replaces it, and
// its entry counter is kept, so text numbers keep rising while the program
// runs.
void ResetSong(SongState& song, SongHost& host);

// Reads the file at `path` and replaces the song with it. Problems go to
// the user through `host` (kMsgNoFile for an empty or unreadable file,
// kMsgUnrecognised with the count of events that could not be classified).
// The player calls ResetSong first, then this, then Song_checkempty. No
// file, however malformed, makes it read outside the file.
void LoadSong(SongState& song, const std::string& path, SongHost& host);

// The same for a file already read into memory: `image` becomes the song's
// file image. Nothing of the previous song survives but the text entry
// counter and, when the file has no tempo event, a tempo that ResetSong did
// not clear.
void Song_loadimage(SongState& song, std::string image, SongHost& host);

// The check the player makes after every load: a song without tracks shows
// kMsgNoData and stays empty. Returns true if the song has tracks.
bool Song_checkempty(const SongState& song, SongHost& host);

}  // namespace zt
