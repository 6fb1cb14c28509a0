#pragma once
// The table of program labels that the registers pick from (programName, in
// the console state): the General MIDI names built in, replaced by the
// names of the presets that the outside soundfont loader reports in
// "caricati.txt". The label at index p is always the one of program p.
// Window thread only.
#include <array>
#include <string>

namespace zt {

// The 128 built-in program names, index = program number.
extern const std::array<const char*, 128> builtinProgramNames;

// Entries 0..127 become the number text of p, a blank and built-in name p.
void Program_tablefill();

// Re-reads "caricati.txt" from the current directory: the register labels
// become bare program numbers, the table is emptied and filled from the
// report's preset lines, and every register whose program has a name there
// takes it. Shows a warning on the status display when no suitable sound
// card was found or the loader reported an error.
void Soundfont_load();
// The same with the report read from `reportPath`.
void Soundfont_loadfrom(const std::string& reportPath);

// The two warnings on the status display.
constexpr const char* kNoSoundCard = "<Scheda sonora non SoundBlaster live o awe!!!";
constexpr const char* kLoaderError = "<Scheda sonora non SoundBlaster live&awe!!!";
// The report the loader leaves.
constexpr const char* kReportFile = "caricati.txt";

}  // namespace zt
