#include "tools/midi-dump/song_dump.h"

#include <charconv>

namespace zt {

namespace {

// Collects output and writes it in large pieces: a big song has millions of
// lines.
class DumpWriter {
 public:
  explicit DumpWriter(std::FILE* out) : out_(out) { buffer_.reserve(kFlushAt + 4096); }
  ~DumpWriter() { flush(); }

  DumpWriter& operator<<(std::string_view text) {
    buffer_.append(text);
    return *this;
  }
  DumpWriter& operator<<(char c) {
    buffer_.push_back(c);
    return *this;
  }
  DumpWriter& operator<<(int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
    return *this;
  }
  DumpWriter& escaped(std::string_view text) {
    Dump_escaped(buffer_, text);
    return *this;
  }
  void endLine() {
    buffer_.push_back('\n');
    if (buffer_.size() >= kFlushAt) flush();
  }

 private:
  static constexpr size_t kFlushAt = 1 << 16;
  void flush() {
    std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
    buffer_.clear();
  }
  std::FILE* out_;
  std::string buffer_;
};

}  // namespace

void Dump_escaped(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte >= 0x20 && byte <= 0x7E) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
}

void Dump_song(const SongState& song, const std::vector<std::string>& messages, std::FILE* out) {
  DumpWriter w(out);
  for (const std::string& message : messages) {
    w << "message ";
    w.escaped(message).endLine();
  }
  (w << "division " << int64_t{song.division}).endLine();
  (w << "bpm " << int64_t{song.BPM}).endLine();
  (w << "tracks " << int64_t{song.trackCount()}).endLine();
  (w << "unrecognised " << int64_t{song.unrecognised}).endLine();
  (w << "songend " << song.SongEndTick).endLine();
  for (size_t k = 0; k < song.SongEventTable.size(); ++k) {
    const auto track = static_cast<int64_t>(k + 1);
    const EventList& events = song.SongEventTable[k];
    (w << "track " << track << " events " << static_cast<int64_t>(events.size()) << " end "
       << song.trackEndTick[k])
        .endLine();
    for (size_t i = 0; i < events.size(); ++i) {
      const MidiEvent& e = events[i];
      (w << "event " << track << ' ' << static_cast<int64_t>(i + 1) << ' ' << e.kind << ' '
         << e.first << ' ' << e.second << ' ' << e.tick)
          .endLine();
    }
  }
  for (size_t i = 0; i < song.TextTable.size(); ++i) {
    w << "text " << (song.textTableFirst + static_cast<int64_t>(i)) << ' ';
    w.escaped(song.TextTable[i]).endLine();
  }
}

}  // namespace zt
