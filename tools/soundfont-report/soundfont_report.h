#pragma once
// The soundfont report that the console reads from "caricati.txt": the
// presets of the SoundFont that the embedded synthesiser loads, one line
// "[N] name" for each melodic preset N of bank 0 (the programs a register
// can choose), after four lines of heading whose fourth says "OK", or
// "ERROR: " and the reason when the SoundFont cannot be read.
//
// Names are kept to what a register label may hold: printable ASCII without
// commas (a label is a comma-separated field of the preset files) and
// without brackets (the console takes them out of a preset line).
#include <string>

namespace zt {

// The whole report for `soundFont`; `ok` tells whether it could be read.
std::string Soundfont_report(const std::string& soundFont, bool& ok);

}  // namespace zt
