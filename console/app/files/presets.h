#pragma once
// The console's settings files in the current directory: "consolle.cfg"
// with the two MIDI device numbers, "consolle-midi.cfg" with their names, and the three preset
// files ("consolle", "consolle1", "consolle2" + ".ini") with the settings of the 32 registers, one
// line of six comma-separated fields per register.
//
// All of these run on the window thread. A missing or short file reads as
// zeros and empty labels, after which the value ranges apply; a file that
// cannot be written keeps its old contents, and the save says which file
// and why, for the caller to tell the organist.
#include <string>
#include <vector>

#include "console/engine/control_ids.h"

namespace zt {

// The settings files' names, in the current folder.
inline constexpr const char* kConfigFile = "consolle.cfg";
inline constexpr const char* kNamesFile = "consolle-midi.cfg";
// The base names of the three preset files ("Preset 0" to "Preset 2").
inline constexpr const char* kPresetNames[3] = {"consolle", "consolle1", "consolle2"};

// Base name of the current preset file; kPresetNames[0] at start-up.
extern std::string presetName;

// Reads name + ".ini" into the registers, logs one line per register, sets
// every register control and redraws both keyboard displays.
void Preset_load(const std::string& name);
// A settings file a save could not write, and why (an errno value).
struct SaveFailure {
  std::string file;
  int error = 0;
};
// Writes presetName + ".ini" from the registers, then "consolle.cfg" and
// "consolle-midi.cfg" (each also when one before could not be written). Returns the files that
// could not be written, in that order; none when both were.
std::vector<SaveFailure> Preset_save();

// Start-up: the two device numbers from "consolle.cfg" (output on the first
// line, input on the second).
void Config_load();
// The same from the file `path`.
void Config_loadfrom(const std::string& path);
// The names of the chosen devices from "consolle-midi.cfg" (midiOutChoice,
// midiInChoice), after Config_load. A name counts only when the number
// written beside it is the one "consolle.cfg" holds now.
void Config_loadnames();
// Writes "consolle.cfg" with the current device numbers (a chosen device
// that is missing keeps its own number, not the stand-in's); 0, or the
// errno value of the failure.
int Config_save();
// Writes "consolle-midi.cfg": the chosen output's number and stable name on
// the first line, the input's on the second, each as STR(number) + " " +
// name. It is a file of its own so that "consolle.cfg" stays the two lines
// an older console reads and writes; an older console leaves this one
// alone, and the number beside each name tells whether "consolle.cfg" has
// been changed since. 0, or the errno value of the failure (nothing is
// written while no name is known).
int Config_savenames();

// The preset line of register r as it is written, line end included.
std::string Preset_line(int r);
// The label a register gets for program number p: programName(p), or the
// bare number when the table has no name for p.
std::string Program_label(int p);

}  // namespace zt
