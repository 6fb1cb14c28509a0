#include "tools/song-maker/note_text.h"

#include <cctype>
#include <sstream>

namespace zt::song {

namespace {

// The ticks of one note value: "8", "8.", "16t".
int64_t oneLength(const std::string& value, int division) {
  size_t digits = 0;
  while (digits < value.size() && std::isdigit(static_cast<unsigned char>(value[digits]))) ++digits;
  if (digits == 0 || digits > 2) return -1;
  const int denominator = std::stoi(value.substr(0, digits));
  if (denominator < 1 || denominator > 64 || (denominator & (denominator - 1)) != 0) return -1;
  int64_t ticks = int64_t{division} * 4;
  if (ticks % denominator != 0) return -1;
  ticks /= denominator;
  const std::string rest = value.substr(digits);
  if (rest.empty()) return ticks;
  if (rest == "." && ticks % 2 == 0) return ticks * 3 / 2;
  if (rest == "t" && (ticks * 2) % 3 == 0) return ticks * 2 / 3;
  return -1;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

bool readInt(std::istringstream& in, int64_t low, int64_t high, int64_t& value) {
  if (!(in >> value)) return false;
  return value >= low && value <= high;
}

}  // namespace

int Note_key(const std::string& name) {
  if (name.size() < 2) return -1;
  static constexpr int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (letter < 'A' || letter > 'G') return -1;
  int key = kSemitone[letter - 'A'];
  size_t i = 1;
  if (name[i] == '#') {
    ++key;
    ++i;
  } else if (name[i] == 'b') {
    --key;
    ++i;
  }
  const std::string octave = name.substr(i);
  if (octave.empty() || octave.size() > 2) return -1;
  size_t used = 0;
  int number = 0;
  try {
    number = std::stoi(octave, &used);
  } catch (...) {
    return -1;
  }
  if (used != octave.size()) return -1;
  key += (number + 1) * 12;
  return key >= 0 && key <= 127 ? key : -1;
}

int64_t Note_length(const std::string& length, int division) {
  int64_t total = 0;
  for (const std::string& part : split(length, '+')) {
    const int64_t ticks = oneLength(part, division);
    if (ticks < 0) return -1;
    total += ticks;
  }
  return total;
}

std::optional<Score> Score_read(const std::string& text, std::string& error) {
  Score score;
  std::vector<int64_t> cursor;  // per track
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& what) {
    error = "line " + std::to_string(number) + ": " + what;
    return std::nullopt;
  };

  while (std::getline(lines, line)) {
    ++number;
    // A comment starts with "#" at the start of a line or after a blank; a
    // "#" inside a word is a sharp.
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
        line.erase(i);
        break;
      }
    }
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) continue;

    int64_t value = 0;
    if (word == "division") {
      if (!score.tracks.empty()) return fail("division must come before the tracks");
      if (!readInt(in, 1, 0x7FFF, value)) return fail("division must be 1-32767");
      score.division = static_cast<int>(value);
    } else if (word == "title") {
      std::getline(in >> std::ws, score.title);
    } else if (word == "time") {
      int64_t denominator = 0;
      if (!readInt(in, 1, 32, value) || !readInt(in, 1, 64, denominator) ||
          (denominator & (denominator - 1)) != 0)
        return fail("time needs a numerator and a power-of-two denominator");
      score.timeNumerator = static_cast<int>(value);
      score.timeDenominator = static_cast<int>(denominator);
    } else if (word == "tempo") {
      int64_t bpm = 0;
      if (!readInt(in, 0, INT32_MAX, value) || !readInt(in, 4, 1000, bpm))
        return fail("tempo needs a tick and 4-1000 BPM");
      score.tempi.push_back({value, static_cast<int>(bpm)});
    } else if (word == "track") {
      Track track;
      std::getline(in >> std::ws, track.name);
      score.tracks.push_back(track);
      cursor.push_back(0);
    } else if (score.tracks.empty()) {
      return fail("\"" + word + "\" outside a track");
    } else if (word == "channel") {
      if (!readInt(in, 0, 15, value)) return fail("channel must be 0-15");
      score.tracks.back().channel = static_cast<int>(value);
    } else if (word == "program") {
      if (!readInt(in, 0, 127, value)) return fail("program must be 0-127");
      score.tracks.back().program = static_cast<int>(value);
    } else if (word == "velocity") {
      if (!readInt(in, 1, 127, value)) return fail("velocity must be 1-127");
      score.tracks.back().velocity = static_cast<int>(value);
    } else if (word == "at") {
      if (!readInt(in, 0, INT32_MAX, value)) return fail("at needs a tick");
      cursor.back() = value;
    } else {
      // Notes, chords and rests to the end of the line.
      Track& track = score.tracks.back();
      do {
        const size_t slash = word.find('/');
        if (slash == std::string::npos) return fail("\"" + word + "\" has no length");
        std::string length = word.substr(slash + 1);
        std::string step;
        if (const size_t comma = length.find(','); comma != std::string::npos) {
          step = length.substr(comma + 1);
          length.erase(comma);
        }
        const int64_t ticks = Note_length(length, score.division);
        if (ticks <= 0) return fail("\"" + word + "\": bad length");
        const int64_t advance = step.empty() ? ticks : Note_length(step, score.division);
        if (advance < 0) return fail("\"" + word + "\": bad step");
        const std::string notes = word.substr(0, slash);
        if (notes != "r") {
          for (const std::string& name : split(notes, '+')) {
            const int key = Note_key(name);
            if (key < 0) return fail("\"" + name + "\" is no note");
            track.notes.push_back({cursor.back(), ticks, key});
          }
        }
        cursor.back() += advance;
      } while (in >> word);
    }
    // A directive takes its numbers and nothing more.
    std::string extra;
    const bool numbers = word == "division" || word == "time" || word == "tempo" ||
                         word == "channel" || word == "program" || word == "velocity" ||
                         word == "at";
    if (numbers && in >> extra) return fail("unexpected \"" + extra + "\"");
  }
  if (score.tracks.empty()) {
    error = "no track";
    return std::nullopt;
  }
  return score;
}

}  // namespace zt::song
