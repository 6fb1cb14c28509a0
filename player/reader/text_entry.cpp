#include "player/reader/text_entry.h"

#include "common/number_text.h"

namespace zt {

namespace {

// The track number right-aligned in two places (wider numbers take what
// they need).
std::string TwoPlaces(int32_t value) {
  std::string digits = std::to_string(value);
  if (digits.size() < 2) digits.insert(digits.begin(), 2 - digits.size(), ' ');
  return digits;
}

}  // namespace

std::string TextEntryText(int type, int64_t number, int32_t trackNumber, std::string_view text) {
  std::string entry;
  switch (type) {
    case 1:
      entry = "Text<" + Text_str(number) + ">:";
      break;
    case 2:
      entry = "copy:";
      break;
    case 3:
      entry = "Sq/Na " + TwoPlaces(trackNumber) + ":";
      break;
    case 4:
      entry = "Inst:";
      break;
    case 5:
      entry = "Lyric:";
      break;
    case 6:
      entry = "Mark:";
      break;
    default:
      break;
  }
  entry.append(text);
  if (type == 5) entry += '*';
  return entry;
}

}  // namespace zt
