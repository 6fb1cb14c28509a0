#include "console/app/files/presets.h"

#include "console/app/files/file_fields.h"
#include "console/app/files/settings_file.h"
#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"

namespace zt {

std::string presetName = "consolle";

namespace {

constexpr const char* kConfigFile = "consolle.cfg";

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
  Display_register(r, s.regName[r], 100 * s.regOn[r]);
  Display_meter(kPanSwitchBase + r, Pan_text(s.regPan[r]), 100);
  Display_meter(kProgramStepperBase + r, "-+", kLevelUnchanged);
  Display_meter(kMultiStepperBase + r, Text_str(s.regMulti[r]), kLevelUnchanged);
  int shift = s.regShift[r];
  Display_meter(kShiftBarBase + r, Text_str(shift), (12 + shift) * 100.0 / 24);
  int volume = s.regVolume[r];
  Display_meter(kVolumeBarBase + r, Text_str(volume * 100 / 255), volume * 100.0 / 255);
}

}  // namespace

const char* Pan_text(int pan) {
  switch (pan) {
    case -1: return "S";
    case 0: return "=";
    case 1: return "D";
    default: return "";
  }
}

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

int Config_save() {
  return File_replace(kConfigFile, Text_str(consoleState.midiOutDevice) + " Midi Out\r\n" +
                                       Text_str(consoleState.midiInDevice) + " Midi In\r\n");
}

}  // namespace zt
