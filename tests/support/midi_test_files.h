#pragma once
// Building small MIDI files byte by byte, writing them to a temporary
// folder, and loading them as the player does.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "player/reader/song_state.h"
#include "tests/support/temp_folder.h"
#include "tools/midi-dump/recording_host.h"

namespace zt::test {

using Bytes = std::string;

Bytes B(std::initializer_list<int> bytes);
Bytes VarLen(uint32_t value);
// "MThd", length 6, format, track count, division.
Bytes Header(uint16_t division, uint16_t tracks = 1, uint16_t format = 1);
// "MTrk", the data's length, the data.
Bytes Track(const Bytes& data);
// Delta time 0, FF, type, length, data.
Bytes Meta(int type, const Bytes& data);
Bytes Tempo(uint32_t microseconds);
Bytes EndOfTrack();

// A fresh temporary folder per test. Every file written is also given to
// the fuzzer as a seed when ZT_CORPUS_DIR is set.
class MidiFileTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string Write(const std::string& name, const Bytes& bytes);
  // ResetSong, LoadSong, Song_checkempty on `song` with `host`.
  void Open(const std::string& path);
  void OpenBytes(const std::string& name, const Bytes& bytes) { Open(Write(name, bytes)); }

  std::filesystem::path dir_;
  SongState song_;
  RecordingHost host_;

 private:
  TempFolder folder_;
};

}  // namespace zt::test

namespace zt {
bool operator==(const MidiEvent& a, const MidiEvent& b);
void PrintTo(const MidiEvent& e, std::ostream* os);
}  // namespace zt
