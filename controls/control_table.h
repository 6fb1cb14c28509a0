// The process-wide table of control records, indexed by control id, and the
// cache of saved control backgrounds.
#pragma once

#include "controls/colour.h"

#include <QImage>
#include <array>
#include <cstdint>
#include <string>

namespace zt {

constexpr int Ctl_maxid = 10000;
constexpr int Ctl_textsize = 20;

// A text field of exactly 20 characters, padded with spaces.
using CtlText = std::array<char, Ctl_textsize>;

struct ControlRecord {
  int32_t bevel;       // bevel width; knob: pointer inset
  CtlText frameStyle;  // colour ramp of the bevel
  float value;         // meters 0..100; button: on-state face mode; lamps: intensity; knob: percent
  int16_t scale;       // scale divisions; display: font size x 1.5; knob: tick divisions
  CtlText caption;     // caption, or the format "%" or "!"
  int32_t textColor;   // caption colour; knob: lowest angle
  CtlText kind;        // meter kind, "ledr" for lamps, empty otherwise
  CtlText faceStyle;   // colour ramp of the face, big needles and lamps
  int32_t faceMode;    // face fill 0..6; button: off-state mode; knob: highest angle
};

// Creates the table zero-filled (again, when called a second time: every
// record is cleared and every saved background dropped).
void ControlTable_create();

// True for ids that have a record: 0 to 10 000.
bool Ctl_validid(int id);

// The record of an id, or nullptr for an id outside the table. The table is
// created on first use when the program has not created it yet.
ControlRecord* Ctl_entry(int id);

// Text fields: a longer text is cut to 20 characters, a shorter one padded;
// reading removes the leading and trailing spaces (and stops at a NUL, so a
// zero-filled field reads as empty).
void Ctl_textset(CtlText& field, const std::string& text);
std::string Ctl_textget(const CtlText& field);

// Saved backgrounds, one per id; an empty image means none.
void BackgroundCache_create();
QImage* BackgroundCache_entry(int id);

// Colour that round lamps and knobs fill their corners with.
void Ctl_setbackground(Colour colour);
Colour Ctl_background();

}  // namespace zt
