#include "console/app/files/presets.h"

#include "console/app/files/file_fields.h"
#include "console/app/files/register_view.h"
#include "console/app/files/settings_file.h"
#include "console/engine/console_state.h"
#include "console/engine/device_memory.h"
#include "console/engine/display_seam.h"

namespace zt {

std::string presetName = kPresetNames[0];

namespace {

// The number "consolle.cfg" keeps: the device open now, unless it stands in
// for a chosen one that is missing, whose number is kept.
int savedNumber(const DeviceChoice& choice, int open) {
  return choice.standIn ? choice.number : open;
}

// One line of the names file: STR(number) + " " + name, like a dialog entry.
std::string namesLine(const DeviceChoice& choice, int number) {
  return Text_str(number) + " " + choice.name + "\r\n";
}

// The name on a line of the names file, when the number before it is the
// one "consolle.cfg" gave: otherwise that file was written since by someone
// who does not keep names (an older console, a hand), and its number holds.
std::string nameFor(const std::string& line, int number) {
  const std::string_view text = Text_strip(line);
  if (text.empty() || Text_number(text) != number) return {};
  const std::string numberText = Text_str(number).substr(1);  // without the sign blank
  size_t at = text.find(numberText);
  if (at == std::string_view::npos) return {};
  at += numberText.size();
  if (at >= text.size() || text[at] != ' ') return {};
  return std::string(text.substr(at + 1));
}

int limited(int v, int low, int high, int otherwise) { return v < low || v > high ? otherwise : v; }

// A comma in a label would split its line into seven fields on the next
// load; it is written as a blank. A label whose first character after the
// blanks is a double quote that nothing closes would read on to the line
// end and take the register's numbers with it: its quote is closed at once
// (written twice), so the label reads back as an empty quoted text
// followed by its own bytes, which gives the same program number (none) as
// the label itself.
std::string plainLabel(const std::string& label) {
  std::string out = label;
  for (char& c : out)
    if (c == ',') c = ' ';
  size_t first = out.find_first_not_of(' ');
  if (first != std::string::npos && out[first] == '"' &&
      out.find('"', first + 1) == std::string::npos)
    out.insert(first, 1, '"');
  return out;
}

// The plain form keeps every label's number but two kinds: one whose first
// character after the blanks is a comma (",5 Viola" would read back as
// program 5), and one that opens with a quoted number ("12" read back as
// program 12). Both have no number of their own; they are written between
// double quotes, commas kept, which the reader takes back as they are. A
// double quote cannot stand inside them and becomes an apostrophe; neither
// is part of a number.
std::string labelForFile(const std::string& label) {
  std::string plain = plainLabel(label);
  if (Text_number(FieldReader(plain).text()) == Text_number(label)) return plain;
  std::string quoted = label;
  for (char& c : quoted)
    if (c == '"') c = '\'';
  return '"' + quoted + '"';
}

// Every line written must read back whole: the longest label, two added
// quotes, five numbers of at most 12 bytes each, the commas and the line end
// stay under the reader's line bound.
static_assert(kMaxLabel + 2 + 6 * 12 + 5 + 2 < LineFile::kMaxLine);

void showRegister(int r) {
  ConsoleState& s = consoleState;
  s.regButtonProgram[r] = Text_number(s.regName[r]);
  Show_register(r);
  Show_pan(r);
  Display_meter(kProgramStepperBase + r, "-+", kLevelUnchanged);
  Show_multi(r, kLevelUnchanged);
  Show_shift(r);
  Show_volume(r);
}

}  // namespace

std::string Program_label(int p) {
  if (p >= 0 && p < kProgramNames && !programName[p].empty()) return programName[p];
  return Text_trim(p);
}

void Preset_load(const std::string& name) {
  ConsoleState& s = consoleState;
  LineFile file(name + ".ini");
  std::string line;
  for (int r = 1; r <= kRegisters; ++r) {
    file.next(line);
    FieldReader fields(line);
    int on = fields.number();
    std::string label = fields.text();
    int volume = fields.number();
    int pan = fields.number();
    int shift = fields.number();
    int multi = fields.number();

    double program = Text_value(label);
    Reg_setname(r, Program_label(Round_even(program < 0 ? 0 : program)));

    s.regOn[r] = limited(on, 0, 1, 1);
    s.regPan[r] = limited(pan, -1, 1, 0);
    s.regVolume[r] = limited(volume, 0, 255, 255);
    s.regShift[r] = limited(shift, -12, 12, 0);
    s.regMulti[r] = limited(multi, 0, 12, 0);

    Log_line(Text_str(r) + "]" + Text_str(s.regOn[r]) + " " + s.regName[r] +
             Text_str(s.regVolume[r]) + Text_str(s.regPan[r]) + Text_str(s.regShift[r]) +
             Text_str(s.regMulti[r]));
  }
  for (int r = 1; r <= kRegisters; ++r) showRegister(r);
  Display_keyboard(kKeyboardUpper, 0, kColourAllKeys);
  Display_keyboard(kKeyboardLower, 0, kColourAllKeys);
}

std::string Preset_line(int r) {
  const ConsoleState& s = consoleState;
  return Text_print(s.regOn[r]) + "," + labelForFile(s.regName[r]) + "," +
         Text_print(s.regVolume[r]) + "," + Text_print(s.regPan[r]) + "," +
         Text_print(s.regShift[r]) + "," + Text_print(s.regMulti[r]) + "\r\n";
}

std::vector<SaveFailure> Preset_save() {
  std::vector<SaveFailure> failures;
  std::string bytes;
  for (int r = 1; r <= kRegisters; ++r) bytes += Preset_line(r);
  const std::string presetFile = presetName + ".ini";
  if (int error = File_replace(presetFile, bytes)) failures.push_back({presetFile, error});
  if (int error = Config_save()) failures.push_back({kConfigFile, error});
  if (int error = Config_savenames()) failures.push_back({kNamesFile, error});
  return failures;
}

void Config_load() { Config_loadfrom(kConfigFile); }

void Config_loadfrom(const std::string& path) {
  LineFile file(path);
  std::string line;
  file.next(line);
  // Each line is one text field, converted to its number.
  consoleState.midiOutDevice = Text_number(FieldReader(line).text());
  file.next(line);
  consoleState.midiInDevice = Text_number(FieldReader(line).text());
}

void Config_loadnames() {
  Device_forget();
  midiOutChoice.number = consoleState.midiOutDevice;
  midiInChoice.number = consoleState.midiInDevice;
  LineFile file(kNamesFile);
  std::string line;
  file.next(line);
  midiOutChoice.name = nameFor(line, consoleState.midiOutDevice);
  file.next(line);
  midiInChoice.name = nameFor(line, consoleState.midiInDevice);
}

int Config_save() {
  return File_replace(
      kConfigFile,
      Text_str(savedNumber(midiOutChoice, consoleState.midiOutDevice)) + " Midi Out\r\n" +
          Text_str(savedNumber(midiInChoice, consoleState.midiInDevice)) + " Midi In\r\n");
}

int Config_savenames() {
  // Nothing to remember: no file (and none left behind that could mislead).
  if (midiOutChoice.name.empty() && midiInChoice.name.empty()) return 0;
  return File_replace(
      kNamesFile,
      namesLine(midiOutChoice, savedNumber(midiOutChoice, consoleState.midiOutDevice)) +
          namesLine(midiInChoice, savedNumber(midiInChoice, consoleState.midiInDevice)));
}

}  // namespace zt
