#include "tools/song-maker/smf_writer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/midi_message.h"
#include "common/smf_bytes.h"

namespace zt::song {

namespace {

struct Event {
  int64_t tick;
  int order;  // at one tick: metas, then programs, then note offs, then note ons
  std::string bytes;
};

std::string meta(int type, const std::string& data) {
  std::string bytes{static_cast<char>(0xFF), static_cast<char>(type)};
  Smf_putvarlen(bytes, data.size());
  return bytes + data;
}

std::string chunk(const std::vector<Event>& unsorted) {
  std::vector<Event> events = unsorted;
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  std::string data;
  int64_t last = 0;
  for (const Event& e : events) {
    Smf_putvarlen(data, static_cast<uint64_t>(e.tick - last));
    data += e.bytes;
    last = e.tick;
  }
  data += std::string{0, static_cast<char>(0xFF), 0x2F, 0};
  std::string chunk = "MTrk";
  Smf_putnumber(chunk, data.size(), 4);
  return chunk + data;
}

}  // namespace

std::string Smf_write(const Score& score) {
  std::string file = "MThd";
  Smf_putnumber(file, 6, 4);
  Smf_putnumber(file, 1, 2);  // format 1
  Smf_putnumber(file, score.tracks.size() + 1, 2);
  Smf_putnumber(file, static_cast<uint16_t>(score.division), 2);

  std::vector<Event> conductor;
  if (!score.title.empty()) conductor.push_back({0, 0, meta(3, score.title)});
  int exponent = 0;
  while ((1 << exponent) < score.timeDenominator) ++exponent;
  conductor.push_back({0, 0,
                       meta(0x58, std::string{static_cast<char>(score.timeNumerator),
                                              static_cast<char>(exponent), 24, 8})});
  for (const Tempo& tempo : score.tempi) {
    std::string us;
    Smf_putnumber(us, static_cast<uint32_t>(60000000 / tempo.bpm), 3);
    conductor.push_back({tempo.tick, 0, meta(0x51, us)});
  }
  file += chunk(conductor);

  for (const Track& track : score.tracks) {
    std::vector<Event> events;
    if (!track.name.empty()) events.push_back({0, 0, meta(3, track.name)});
    const char channel = static_cast<char>(track.channel);
    if (track.program >= 0)
      events.push_back({0, 1,
                        std::string{static_cast<char>(kProgramChange | channel),
                                    static_cast<char>(track.program)}});
    for (const Note& note : track.notes) {
      events.push_back(
          {note.start, 3,
           std::string{static_cast<char>(kNoteOn | channel), static_cast<char>(note.key),
                       static_cast<char>(track.velocity)}});
      events.push_back(
          {note.start + note.length, 2,
           std::string{static_cast<char>(kNoteOff | channel), static_cast<char>(note.key), 64}});
    }
    file += chunk(events);
  }
  return file;
}

}  // namespace zt::song
