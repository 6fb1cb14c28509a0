#include "player/reader/track_parser.h"

#include <algorithm>

#include "common/midi_message.h"
#include "common/number_text.h"

namespace zt {

std::vector<std::string_view> Track_split(std::string_view body) {
  constexpr std::string_view kTag = "MTrk";
  constexpr size_t kChunkHead = 8;  // tag and length

  // "MTrk" cannot overlap itself, so the tags found from the front are the
  // same the search from the end finds.
  std::vector<size_t> starts;
  for (size_t at = body.find(kTag); at != std::string_view::npos;
       at = body.find(kTag, at + kTag.size()))
    starts.push_back(at);

  std::vector<std::string_view> tracks;
  tracks.reserve(starts.size());
  for (size_t k = 0; k < starts.size(); ++k) {
    const size_t end = k + 1 < starts.size() ? starts[k + 1] : body.size();
    const size_t begin = std::min(starts[k] + kChunkHead, end);
    tracks.push_back(body.substr(begin, end - begin));
  }
  return tracks;
}

uint32_t ReadVarLen(std::string_view track, size_t& p) {
  const size_t end = track.size();
  if (p == 0 || p > end) {
    p = end + 1;
    return 0;
  }
  uint8_t byte = static_cast<uint8_t>(track[p - 1]);
  uint32_t value = byte & 0x7Fu;
  while (byte & 0x80u) {
    if (p >= end) {
      p = end + 1;
      return value;
    }
    ++p;
    byte = static_cast<uint8_t>(track[p - 1]);
    value = (value << 7) | (byte & 0x7Fu);
  }
  return value;
}

int32_t Tempo_frommicroseconds(uint32_t microsecondsPerQuarter) {
  const uint64_t minute = 60000000;
  const uint64_t us = microsecondsPerQuarter;
  uint64_t bpm = minute / us;
  const uint64_t twiceRest = 2 * (minute % us);
  if (twiceRest > us || (twiceRest == us && (bpm & 1u))) ++bpm;
  return static_cast<int32_t>(bpm);
}

namespace {

// The track number right-aligned in two places (wider numbers take what
// they need).
std::string twoPlaces(int32_t value) {
  std::string digits = std::to_string(value);
  if (digits.size() < 2) digits.insert(digits.begin(), 2 - digits.size(), ' ');
  return digits;
}

// What each text type's entry starts with; types 1 and 3 go on with a number.
constexpr std::string_view kTextLabels[] = {"Text<", "copy:", "Sq/Na ", "Inst:", "Lyric:", "Mark:"};

}  // namespace

std::string Track_textentry(int type, int64_t number, int32_t trackNumber, std::string_view text) {
  std::string entry;
  if (type >= 1 && type <= 6) entry = kTextLabels[type - 1];
  if (type == 1) entry += Text_str(number) + ">:";
  if (type == 3) entry += twoPlaces(trackNumber) + ":";
  entry.append(text);
  if (type == 5) entry += '*';
  return entry;
}

namespace {

// Meta types the reader knows. Types 1-6 are texts.
constexpr uint8_t kMetaChannelPrefix = 32;
constexpr uint8_t kMetaPort = 33;
constexpr uint8_t kMetaEndOfTrack = 47;
constexpr uint8_t kMetaTempo = 81;
constexpr uint8_t kMetaTimeCodeOffset = 84;
constexpr uint8_t kMetaTimeSignature = 88;
constexpr uint8_t kMetaKeySignature = 89;
constexpr uint8_t kMetaSequencerSpecific = 127;

// One walk over one track. With kStore false it only counts what it would
// store; both walks take exactly the same path through the bytes, so the
// counts size the tables exactly.
template <bool kStore>
class TrackWalk {
 public:
  TrackWalk(std::string_view data, int32_t trackNumber, RunningStatus& runningStatus,
            SongState* song, EventList* events)
      : data_(data),
        end_(data.size()),
        trackNumber_(trackNumber),
        runningStatus_(runningStatus),
        song_(song),
        events_(events) {}

  // Returns the end tick.
  int64_t run() {
    // p is 1-based and points at the last byte consumed; at the top of the
    // loop it points at the next byte to read.
    while (p_ <= end_) {
      const uint32_t delta = varLen();
      if (p_ > end_) break;
      time_ += delta;
      if (!next()) break;
      const uint8_t status = at(p_);
      const bool isChannel = MidiMessage(status).isChannel();
      if (isChannel)
        runningStatus_ = status;
      else if (status >= 0xF0 && status <= 0xF7)
        runningStatus_ = 0;

      if (status == 0xFF) {
        if (!meta()) break;
      } else if (status == 0xF0) {
        if (!next()) break;
        const uint32_t length = varLen();
        if (p_ > end_) break;
        p_ += length;  // the loop test ends the track if this runs past
      } else if (isChannel) {
        if (!next()) break;
        if (!channelMessage(status, at(p_))) break;
      } else if (runningStatus_ != 0) {
        // A data byte under running status: the first data byte.
        if (!channelMessage(static_cast<uint8_t>(runningStatus_), status)) break;
      } else {
        unrecognised();
      }
      ++p_;
    }
    return time_;
  }

  TrackCounts counts() const { return counts_; }

 private:
  uint8_t at(size_t p) const { return static_cast<uint8_t>(data_[p - 1]); }

  // ReadVarLen at p, with the one-byte quantities of nearly every delta
  // time taken here.
  uint32_t varLen() {
    if (p_ <= end_) {
      const uint8_t byte = at(p_);
      if (byte < 0x80) return byte;
    }
    return ReadVarLen(data_, p_);
  }

  // Advances to the next byte; false if there is none.
  bool next() { return ++p_ <= end_; }

  // True if `n` more bytes follow the current position.
  bool has(uint64_t n) const { return n <= end_ - p_; }

  void store(int64_t kind, int64_t first, int64_t second) {
    ++counts_.events;
    if constexpr (kStore) events_->push_back(MidiEvent{kind, first, second, time_});
  }

  void unrecognised() {
    if constexpr (kStore) ++song_->unrecognised;
  }

  // Decodes a channel message whose first data byte has been read; false if
  // the data ends before the message does.
  bool channelMessage(uint8_t status, uint8_t first) {
    const int type = MidiMessage(status).kind();
    if (type == kProgramChange || type == kChannelPressure) {
      store(status, first, 0);
      return true;
    }
    if (!next()) return false;
    const uint8_t second = at(p_);
    // A note on with velocity 0 is the matching note off.
    if (type == kNoteOn && second == 0)
      store(status - kNoteOn + kNoteOff, first, 0);
    else
      store(status, first, second);
    return true;
  }

  // Reads a meta event from its type byte on; false when the track ends.
  bool meta() {
    if (!next()) return false;
    const uint8_t type = at(p_);
    if (!next()) return false;
    const uint32_t length = varLen();
    if (p_ > end_) return false;

    switch (type) {
      case 1:
      case 2:
      case 3:
      case 4:
      case 5:
      case 6: return text(type, length);
      case kMetaTempo: {
        // Always three bytes, whatever the length says.
        if (!has(3)) return false;
        const uint32_t us = (uint32_t{at(p_ + 1)} << 16) | (uint32_t{at(p_ + 2)} << 8) | at(p_ + 3);
        p_ += 3;
        if (us == 0) {
          // No tempo is infinitely fast: keep the current one.
          unrecognised();
          return true;
        }
        const int32_t bpm = Tempo_frommicroseconds(us);
        if constexpr (kStore) song_->BPM = bpm;
        store(kKindTempo, bpm, 0);
        return true;
      }
      case kMetaTimeSignature: {
        // Always four bytes: numerator, denominator exponent, clocks per
        // click, 32nds per quarter.
        if (!has(4)) return false;
        const uint8_t numerator = at(p_ + 1);
        const uint8_t exponent = at(p_ + 2);
        p_ += 4;
        // Denominators past 2^62 do not fit a record; they are stored as 0.
        const int64_t denominator = exponent <= 62 ? int64_t{1} << exponent : 0;
        store(kKindTimeSignature, numerator, denominator);
        return true;
      }
      case kMetaEndOfTrack:
        // Only an empty end-of-track ends the track; otherwise the walk
        // goes on right after the length.
        return length != 0;
      case kMetaChannelPrefix:
      case kMetaPort:
      case kMetaTimeCodeOffset:
      case kMetaKeySignature:
      case kMetaSequencerSpecific: p_ += length; return true;
      default:
        unrecognised();
        p_ += length;
        return true;
    }
  }

  bool text(uint8_t type, uint32_t length) {
    if (!has(length)) return false;
    ++counts_.texts;
    int64_t number = 0;
    if constexpr (kStore) {
      number = ++song_->textCounter;
      song_->TextTable.push_back(
          Track_textentry(type, number, trackNumber_, data_.substr(p_, length)));
    }
    p_ += length;
    store(type, number, 0);
    return true;
  }

  std::string_view data_;
  size_t end_;
  size_t p_ = 1;
  int64_t time_ = 0;
  int32_t trackNumber_;
  RunningStatus& runningStatus_;
  SongState* song_;
  EventList* events_;
  TrackCounts counts_;
};

}  // namespace

TrackCounts Track_count(std::string_view data, RunningStatus& runningStatus) {
  TrackWalk<false> walk(data, 0, runningStatus, nullptr, nullptr);
  walk.run();
  return walk.counts();
}

int64_t Track_parse(std::string_view data, int32_t trackNumber, RunningStatus& runningStatus,
                    SongState& song, EventList& events) {
  TrackWalk<true> walk(data, trackNumber, runningStatus, &song, &events);
  return walk.run();
}

}  // namespace zt
