#include "tools/song-maker/smf_writer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/midi_message.h"

namespace zt::song {

namespace {

struct Event {
  int64_t tick;
  int order;  // at one tick: metas, then programs, then note offs, then note ons
  std::string bytes;
};

void AddVarLen(std::string& out, uint64_t value) {
  char groups[10];
  int count = 0;
  do {
    groups[count++] = static_cast<char>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 1) out += static_cast<char>(groups[--count] | 0x80);
  out += groups[0];
}

void Add32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::string Meta(int type, const std::string& data) {
  std::string bytes{static_cast<char>(0xFF), static_cast<char>(type)};
  AddVarLen(bytes, data.size());
  return bytes + data;
}

std::string Chunk(const std::vector<Event>& unsorted) {
  std::vector<Event> events = unsorted;
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  std::string data;
  int64_t last = 0;
  for (const Event& e : events) {
    AddVarLen(data, static_cast<uint64_t>(e.tick - last));
    data += e.bytes;
    last = e.tick;
  }
  data += std::string{0, static_cast<char>(0xFF), 0x2F, 0};
  std::string chunk = "MTrk";
  Add32(chunk, static_cast<uint32_t>(data.size()));
  return chunk + data;
}

}  // namespace

std::string WriteSmf(const Score& score) {
  std::string file = "MThd";
  Add32(file, 6);
  const auto tracks = static_cast<uint16_t>(score.tracks.size() + 1);
  file += std::string{0,
                      1,
                      static_cast<char>(tracks >> 8),
                      static_cast<char>(tracks & 0xFF),
                      static_cast<char>(score.division >> 8),
                      static_cast<char>(score.division & 0xFF)};

  std::vector<Event> conductor;
  if (!score.title.empty()) conductor.push_back({0, 0, Meta(3, score.title)});
  int exponent = 0;
  while ((1 << exponent) < score.timeDenominator) ++exponent;
  conductor.push_back({0, 0,
                       Meta(0x58, std::string{static_cast<char>(score.timeNumerator),
                                              static_cast<char>(exponent), 24, 8})});
  for (const Tempo& tempo : score.tempi) {
    const uint32_t us = static_cast<uint32_t>(60000000 / tempo.bpm);
    conductor.push_back(
        {tempo.tick, 0,
         Meta(0x51, std::string{static_cast<char>(us >> 16), static_cast<char>((us >> 8) & 0xFF),
                                static_cast<char>(us & 0xFF)})});
  }
  file += Chunk(conductor);

  for (const Track& track : score.tracks) {
    std::vector<Event> events;
    if (!track.name.empty()) events.push_back({0, 0, Meta(3, track.name)});
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
    file += Chunk(events);
  }
  return file;
}

}  // namespace zt::song
