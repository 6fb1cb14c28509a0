#pragma once
// Number texts as both programs write them, and the numeric value of a
// text's start. The fixed-buffer forms never allocate, for the MIDI input
// thread.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "common/rounding.h"

namespace zt {

// STR: decimal with a blank before a non-negative number, "-" before a
// negative one, no trailing blank.
std::string Text_str(int64_t n);
// TRIM: the same without the leading blank.
std::string Text_trim(int64_t n);
// The form numbers take in the settings files: STR followed by one blank.
// Text_print(255) is " 255 ", Text_print(-1) is "-1 ".
std::string Text_print(int64_t n);

// The numeric value of a text's start: blanks skipped, then an optional sign,
// digits and a decimal fraction; reading stops at the first character that
// cannot continue the number. No number gives 0.
double Text_value(std::string_view text);
// The same, stored as an integer: rounded with Round_even.
int32_t Text_number(std::string_view text);

// A text of fixed capacity that never allocates; what does not fit is cut.
template <size_t N>
class FixedText {
 public:
  FixedText() { buf_[0] = 0; }
  // Copies only the characters in use: requests are copied on the MIDI
  // thread's hot path.
  FixedText(const FixedText& other) { *this = other; }
  FixedText& operator=(const FixedText& other) {
    len_ = other.len_;
    std::memcpy(buf_, other.buf_, len_ + 1);
    return *this;
  }
  FixedText& add(std::string_view s) {
    for (char c : s) {
      if (len_ + 1 >= N) break;
      buf_[len_++] = c;
    }
    buf_[len_] = 0;
    return *this;
  }
  FixedText& addTrim(int64_t n) {
    char digits[24];
    int k = 0;
    uint64_t u = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    do {
      digits[k++] = static_cast<char>('0' + u % 10);
      u /= 10;
    } while (u);
    if (n < 0) add("-");
    while (k) {
      char c[2] = {digits[--k], 0};
      add(c);
    }
    return *this;
  }
  FixedText& addStr(int64_t n) {
    if (n >= 0) add(" ");
    return addTrim(n);
  }
  FixedText& addHex(uint64_t n) {
    char digits[20];
    int k = 0;
    do {
      digits[k++] = "0123456789ABCDEF"[n % 16];
      n /= 16;
    } while (n);
    while (k) {
      char c[2] = {digits[--k], 0};
      add(c);
    }
    return *this;
  }
  void clear() {
    len_ = 0;
    buf_[0] = 0;
  }
  bool empty() const { return len_ == 0; }
  size_t size() const { return len_; }
  const char* c_str() const { return buf_; }
  std::string_view view() const { return {buf_, len_}; }

 private:
  char buf_[N];
  size_t len_ = 0;
};

}  // namespace zt
