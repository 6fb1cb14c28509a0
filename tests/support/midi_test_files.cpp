#include "tests/support/midi_test_files.h"

#include "common/smf_bytes.h"
#include "player/reader/song_state.h"
#include "tests/support/corpus.h"
#include "tests/support/temp_folder.h"

namespace zt::test {

Bytes B(std::initializer_list<int> bytes) {
  Bytes out;
  for (int b : bytes) out.push_back(static_cast<char>(b));
  return out;
}

Bytes VarLen(uint32_t value) {
  Bytes out;
  Smf_putvarlen(out, value);
  return out;
}

static Bytes Be16(uint16_t v) {
  Bytes out;
  Smf_putnumber(out, v, 2);
  return out;
}
static Bytes Be32(uint32_t v) {
  Bytes out;
  Smf_putnumber(out, v, 4);
  return out;
}

Bytes Header(uint16_t division, uint16_t tracks, uint16_t format) {
  return "MThd" + Be32(6) + Be16(format) + Be16(tracks) + Be16(division);
}

Bytes Track(const Bytes& data) { return "MTrk" + Be32(static_cast<uint32_t>(data.size())) + data; }

Bytes Meta(int type, const Bytes& data) {
  return B({0x00, 0xFF, type}) + VarLen(static_cast<uint32_t>(data.size())) + data;
}

Bytes Tempo(uint32_t us) {
  Bytes data;
  Smf_putnumber(data, us, 3);
  return Meta(0x51, data);
}

Bytes EndOfTrack() { return B({0x00, 0xFF, 0x2F, 0x00}); }

void MidiFileTest::SetUp() {
  ASSERT_TRUE(folder_.make("zt-reader", false));
  dir_ = folder_.path();
}

void MidiFileTest::TearDown() { folder_.leave(); }

std::string MidiFileTest::Write(const std::string& name, const Bytes& bytes) {
  const std::filesystem::path path = dir_ / name;
  EXPECT_TRUE(File_write(path.string(), bytes)) << path;
  if (bytes.size() <= 4096) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Corpus_write("fuzz_midifile",
                 std::string(info->test_suite_name()) + "." + info->name() + "." + name, bytes);
  }
  return path.string();
}

void MidiFileTest::Open(const std::string& path) {
  ResetSong(song_, host_);
  LoadSong(song_, path, host_);
  Song_checkempty(song_, host_);
}

}  // namespace zt::test

namespace zt {

bool operator==(const MidiEvent& a, const MidiEvent& b) {
  return a.kind == b.kind && a.first == b.first && a.second == b.second && a.tick == b.tick;
}

void PrintTo(const MidiEvent& e, std::ostream* os) {
  *os << "{kind " << e.kind << ", " << e.first << ", " << e.second << ", tick " << e.tick << "}";
}

}  // namespace zt
