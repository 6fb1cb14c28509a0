#include "console/engine/device_memory.h"

#include "common/number_text.h"
#include "platform/midi/port_names.h"

namespace zt {

DeviceChoice midiOutChoice;
DeviceChoice midiInChoice;

void Device_forget() {
  midiOutChoice = DeviceChoice{};
  midiInChoice = DeviceChoice{};
}

void Device_choose(DeviceChoice& choice, const std::string& entry) {
  // The entry is STR(i) + " " + name: the name follows the number and one blank.
  const int number = Text_number(entry);
  const std::string numberText = Text_str(number);
  size_t at = entry.find(numberText);
  at = at == std::string::npos ? entry.size() : at + numberText.size();
  if (at < entry.size() && entry[at] == ' ') ++at;
  choice.name = Midi_stablename(entry.substr(at < entry.size() ? at : entry.size()));
  choice.number = number;
  choice.absent = false;
  choice.standIn = false;
}

std::string Device_absententry(const std::string& name) { return " - " + name + " (assente)"; }

}  // namespace zt
