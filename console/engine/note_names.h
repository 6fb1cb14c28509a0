#pragma once
// Names of the twelve pitch classes, indexed by note mod 12.
namespace zt {

inline constexpr const char* kItalianNoteNames[12] = {"do",  "do#", "re",   "re#", "mi",  "fa",
                                                      "fa#", "sol", "sol#", "la",  "la#", "si"};
inline constexpr const char* kLetterNoteNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                                     "F#", "G",  "G#", "A",  "A#", "B"};

}  // namespace zt
