#pragma once
// How the console's settings files carry numbers and fields. Every reader
// and writer of "consolle.cfg", the preset files and the soundfont report
// goes through these few operations, so that a number is written and read
// back the same way everywhere.
//
// Files are single-byte (Windows-1252) text: bytes are kept as they are and
// never converted. Lines end with CR LF when written; a reader accepts CR LF
// or a bare LF.
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "common/number_text.h"
#include "common/text_case.h"

namespace zt {

// Reads a file line by line, without the line ends (CR LF or a bare LF). A
// last line without a line end counts. A file that cannot be opened reads as
// one with no lines. A line longer than kMaxLine bytes is cut there (the
// rest of it is passed over), so an odd file never makes the reader hold
// more than one bounded line.
class LineFile {
 public:
  static constexpr size_t kMaxLine = 64 * 1024;
  explicit LineFile(const std::string& path);
  ~LineFile();
  LineFile(const LineFile&) = delete;
  LineFile& operator=(const LineFile&) = delete;
  bool isOpen() const { return file_ != nullptr; }
  // The next line into `line`; false (and `line` empty) at the end.
  bool next(std::string& line);

 private:
  std::FILE* file_ = nullptr;
};

// Field-wise reading of one line. Fields are separated by commas; a field
// that is not there reads as empty text or 0, so a short line never takes
// its values from the next one.
class FieldReader {
 public:
  explicit FieldReader(std::string line) : line_(std::move(line)) {}
  // A text field: leading blanks skipped, then up to the next comma or the
  // line end; a field that begins with a double quote runs to the closing
  // double quote (commas inside it included), and what follows up to the
  // next comma is passed over.
  std::string text();
  // A numeric field: blanks skipped, then the numeric value of what comes up
  // to the next comma or the line end, rounded to a whole number with halves
  // to even (0 when there is no number). Quotes mean nothing here: a field
  // that begins with one reads as 0 and never runs into the next field.
  int32_t number();

 private:
  std::string line_;
  size_t pos_ = 0;
};

}  // namespace zt
