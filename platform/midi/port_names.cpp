#include "platform/midi/port_names.h"

namespace zt {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the run of digits that ends just before `end`.
size_t digitsBefore(std::string_view s, size_t end) {
  size_t n = 0;
  while (n < end && isDigit(s[end - 1 - n])) ++n;
  return n;
}

}  // namespace

std::string Midi_stablename(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  // " [20]" anywhere.
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == ' ' && i + 2 < name.size() && name[i + 1] == '[') {
      size_t j = i + 2;
      while (j < name.size() && isDigit(name[j])) ++j;
      if (j > i + 2 && j < name.size() && name[j] == ']') {
        i = j;
        continue;
      }
    }
    out += name[i];
  }
  // " 20:0" at the end.
  const size_t port = digitsBefore(out, out.size());
  if (port > 0 && port < out.size() && out[out.size() - port - 1] == ':') {
    const size_t colon = out.size() - port - 1;
    const size_t client = digitsBefore(out, colon);
    if (client > 0 && client < colon && out[colon - client - 1] == ' ')
      out.resize(colon - client - 1);
  }
  return out;
}

int Midi_findstable(const std::vector<std::string>& names, const std::string& stable) {
  if (stable.empty()) return -1;
  for (size_t i = 0; i < names.size(); ++i)
    if (Midi_stablename(names[i]) == stable) return static_cast<int>(i);
  return -1;
}

bool Midi_isownport(std::string_view name) {
  const std::string_view client = name.substr(0, name.find(':'));
  const std::string_view own = RtMidiNames::kClient;
  return client.starts_with(own) && (client.size() == own.size() || client[own.size()] == '-');
}

bool Midi_isthroughport(std::string_view name) {
  return name.find("Midi Through") != std::string_view::npos;
}

}  // namespace zt
