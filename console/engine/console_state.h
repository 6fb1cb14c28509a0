#pragma once
// The one record the console plays from: 32 registers (stops), numbered 1 to
// 32, the MIDI devices in use, the output channel and the last note routed.
// Integer fields are shared with the MIDI input thread (RelaxedInt); the
// register labels are texts written and read on the window thread only, and
// the program number at the start of each label is kept beside it in
// `regProgram` for the input thread.
#include <array>
#include <cstddef>
#include <string>

#include "console/engine/relaxed_int.h"

namespace zt {

constexpr int kRegisters = 32;
constexpr int kProgramNames = 257;  // programName indices 0..256
// The longest register label or program name kept, in bytes: longer names
// from a report or a list are cut, so that every preset line the console
// writes stays well within what its reader takes back.
constexpr size_t kMaxLabel = 4096;

struct ConsoleState {
  // Register tables, index 1..32 (index 0 unused).
  std::array<RelaxedInt, kRegisters + 1> regOn{};
  std::array<RelaxedInt, kRegisters + 1> regVolume{};
  std::array<RelaxedInt, kRegisters + 1> regPan{};
  std::array<RelaxedInt, kRegisters + 1> regShift{};
  std::array<RelaxedInt, kRegisters + 1> regMulti{};
  std::array<RelaxedInt, kRegisters + 1> regProgram{};  // leading number of regName
  std::array<std::string, kRegisters + 1> regName{};    // window thread only
  // The program number stored with each register button: what the program
  // stepper counts from. Window thread only.
  std::array<int, kRegisters + 1> regButtonProgram{};

  RelaxedInt hMidiIn;
  RelaxedInt hMidiOut;
  RelaxedInt midiInDevice;
  RelaxedInt midiOutDevice;
  RelaxedInt outChannel;
  RelaxedInt synthFound;
  RelaxedInt lastNote;
  RelaxedInt lastNoteOn;
};

// The program-wide state, from start-up to exit.
extern ConsoleState consoleState;

// The table of program labels, indices 0..256; a label starts with its
// program number. Window thread only.
extern std::array<std::string, kProgramNames> programName;

// Back to the initial state: every register off with an empty label, volume,
// pan, shift and multi 0, no devices open.
void State_reset();

// Sets register r's label (cut to kMaxLabel bytes) and the program number
// kept beside it.
void Reg_setname(int r, const std::string& label);

}  // namespace zt
