#include "console/app/files/program_names.h"

#include <string>

#include "console/app/files/file_fields.h"
#include "console/app/files/register_view.h"
#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"

namespace zt {

const std::array<const char*, 128> builtinProgramNames = {
    "Acoustic Grand",
    "Bright Acoustic",
    "Electric Grand",
    "Honky-Tonk",
    "Electric Piano 1",
    "Electric Piano 2",
    "Harpsichord",
    "Clav",
    "Celesta",
    "Glockenspiel",
    "Music Box",
    "Vibraphone",
    "Marimba",
    "Xylophone",
    "Tubular Bells",
    "Dulcimer",
    "Drawbar Organ",
    "Percussive Organ",
    "Rock Organ",
    "Church Organ",
    "Reed Organ",
    "Accoridan",
    "Harmonica",
    "Tango Accordian",
    "Acoustic Guitar(nylon)",
    "Acoustic Guitar(steel)",
    "Electric Guitar(jazz)",
    "Electric Guitar(clean)",
    "Electric Guitar(muted)",
    "Overdriven Guitar",
    "Distortion Guitar",
    "Guitar Harmonics",
    "Acoustic Bass",
    "Electric Bass(finger)",
    "Electric Bass(pick)",
    "Fretless Bass",
    "Slap Bass 1",
    "Slap Bass 2",
    "Synth Bass 1",
    "Synth Bass 2",
    "Violin",
    "Viola",
    "Cello",
    "Contrabass",
    "Tremolo Strings",
    "Pizzicato Strings",
    "Orchestral Strings",
    "Timpani",
    "String Ensemble 1",
    "String Ensemble 2",
    "SynthStrings 1",
    "SynthStrings 2",
    "Choir Aahs",
    "Voice Oohs",
    "Synth Voice",
    "Orchestra Hit",
    "Trumpet",
    "Trombone",
    "Tuba",
    "Muted Trumpet",
    "French Horn",
    "Brass Section",
    "SynthBrass 1",
    "SynthBrass 2",
    "Soprano Sax",
    "Sax",
    "Tenor Sax",
    "Baritone Sax",
    "Oboe",
    "English Horn",
    "Bassoon",
    "Clarinet",
    "Piccolo",
    "Flute",
    "Recorder",
    "Pan Flute",
    "Blown Bottle",
    "Skakuhachi",
    "Whistle",
    "Ocarina",
    "Lead 1 (square)",
    "Lead 2 (sawtooth)",
    "Lead 3 (calliope)",
    "Lead 4 (chiff)",
    "Lead 5 (charang)",
    "Lead 6 (voice)",
    "Lead 7 (fifths)",
    "Lead 8 (bass+lead)",
    "Pad 1 (new age)",
    "Pad 2 (warm)",
    "Pad 3 (polysynth)",
    "Pad 4 (choir)",
    "Pad 5 (bowed)",
    "Pad 6 (metallic)",
    "Pad 7 (halo)",
    "Pad 8 (sweep)",
    "FX 1 (rain)",
    "FX 2 (soundtrack)",
    "FX 3 (crystal)",
    "FX 4 (atmosphere)",
    "FX 5 (brightness)",
    "FX 6 (goblins)",
    "FX 7 (echoes)",
    "FX 8 (sci-fi)",
    "Sitar",
    "Banjo",
    "Shamisen",
    "Koto",
    "Kalimba",
    "Bagpipe",
    "Fiddle",
    "Shanai",
    "Tinkle Bell",
    "Agogo",
    "Steel Drums",
    "Woodblock",
    "Taiko Drum",
    "Melodic Tom",
    "Synth Drum",
    "Reverse Cymbal",
    "Guitar Fret Noise",
    "Breath Noise",
    "Seashore",
    "Bird Tweet",
    "Telephone Ring",
    "Helicopter",
    "Applause",
    "Gunshot",
};

void Program_tablefill() {
  for (int p = 0; p < 128; ++p) programName[p] = Text_str(p) + " " + builtinProgramNames[p];
}

namespace {

bool containsError(const std::string& line) {
  return Text_upper(line).find("ERROR") != std::string::npos;
}

void showRegisterButtons() {
  for (int r = 1; r <= kRegisters; ++r) Show_register(r);
}

}  // namespace

void Soundfont_load() { Soundfont_loadfrom(kReportFile); }

void Soundfont_loadfrom(const std::string& reportPath) {
  ConsoleState& s = consoleState;
  if (s.synthFound <= 0) {
    Display_status(kNoSoundCard);
    return;
  }
  // A folder where no loader ever ran has no report: the names in use stay
  // as they are rather than turning into bare numbers.
  LineFile report(reportPath);
  if (!report.isOpen()) return;

  for (int r = 1; r <= kRegisters; ++r) Reg_setname(r, Text_trim(Text_number(s.regName[r])));
  showRegisterButtons();

  // The whole table is emptied, so that no name of an earlier report
  // outlives the report that replaces it.
  for (auto& name : programName) name.clear();

  std::string line;
  for (int number = 1; report.next(line); ++number) {
    if (number == 4 && containsError(line)) {
      Display_status(kLoaderError);
      return;  // the labels stay bare numbers
    }
    std::string_view trimmed = Text_strip(line);
    if (trimmed.find(']') == std::string_view::npos) continue;
    Log_line(trimmed);
    std::string name;
    for (char c : trimmed)
      if (c != '[' && c != ']' && name.size() < kMaxLabel) name.push_back(c);
    int n = Text_number(name);
    // A preset number outside the table is logged but has nowhere to go.
    if (n >= 0 && n < kProgramNames) programName[n] = name;
  }

  for (int r = 1; r <= kRegisters; ++r) {
    int b = Text_number(s.regName[r]);
    if (b >= 0 && b < kProgramNames && !programName[b].empty()) Reg_setname(r, programName[b]);
  }
  showRegisterButtons();
}

}  // namespace zt
