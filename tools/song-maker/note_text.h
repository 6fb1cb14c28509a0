#pragma once
// Music written down as text, read into timed note events.
//
// The text, line by line ("#" starts a comment):
//   division 480                 ticks per quarter note
//   title Some title             the song's name
//   time 4 4                     time signature
//   tempo TICK BPM               a tempo from that tick on
//   track NAME                   starts a track; the lines below belong to it
//   channel 0                    its MIDI channel (0-15)
//   program 19                   its program (0-127), sent at tick 0
//   velocity 100                 the velocity of its notes
//   at TICK                      moves the track's cursor to that tick
//   r/8  A5/32  C#4+E4+G4/2  D2/1,4 ...
//                                rests, notes and chords, in order
//
// A token is a rest "r" or one or more notes joined by "+", a "/", and a
// length; an optional ",STEP" holds the notes for the length but moves the
// cursor on by STEP only (for broken chords whose notes keep sounding).
// Notes are a letter A-G, an optional "#" or "b", and an octave, C4 being
// 60. Lengths are note values (1 whole, 2, 4 quarter, 8, 16, 32, 64), with
// "." for dotted and "t" for a triplet, and may be summed with "+" after the
// first value: "4.+16".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zt::song {

struct Note {
  int64_t start = 0;
  int64_t length = 0;
  int key = 0;
  bool operator==(const Note&) const = default;
};

struct Track {
  std::string name;
  int channel = 0;
  int program = -1;  // none
  int velocity = 100;
  std::vector<Note> notes;
};

struct Tempo {
  int64_t tick = 0;
  int bpm = 120;
  bool operator==(const Tempo&) const = default;
};

struct Score {
  int division = 480;
  std::string title;
  int timeNumerator = 4;
  int timeDenominator = 4;
  std::vector<Tempo> tempi;
  std::vector<Track> tracks;
};

// Reads a score. On a fault returns nothing and sets `error` to the line
// number and what is wrong.
std::optional<Score> Score_read(const std::string& text, std::string& error);

// The MIDI key of a note name ("A5" 81, "C#4" 61, "Bb2" 46), or -1.
int Note_key(const std::string& name);
// The ticks of a length ("4." at division 480 is 720), or -1.
int64_t Note_length(const std::string& length, int division);

}  // namespace zt::song
