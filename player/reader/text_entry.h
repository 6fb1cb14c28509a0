#pragma once
// The TextTable entry made from one text meta event.
#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

// `type` is the meta type 1-6, `number` the entry's number, `trackNumber`
// the 1-based track the event is in, `text` the event's bytes.
std::string TextEntryText(int type, int64_t number, int32_t trackNumber, std::string_view text);

}  // namespace zt
