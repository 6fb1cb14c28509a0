#include "console/engine/midi_hotplug.h"

#include <map>
#include <set>
#include <string>

#include "common/midi_message.h"
#include "common/number_text.h"
#include "console/engine/console_state.h"
#include "console/engine/device_dialog.h"
#include "console/engine/device_memory.h"
#include "console/engine/display_seam.h"
#include "console/engine/engine_platform.h"
#include "console/engine/held_keys.h"
#include "console/engine/midi_devices.h"
#include "console/engine/midi_send.h"
#include "platform/midi/port_names.h"
#include "platform/midi/rtmidi_driver.h"

namespace zt {

namespace {

// The ports feeding the console's own input, by address, with their names;
// the ones someone disconnected from it; and which open input (handle and
// address) that was.
std::map<std::string, std::string> feeders;
std::set<std::string> cutByHand;
int32_t feedHandle = 0;
std::string feedAddress;

// What became of a chosen device in the new `list`: still as it was (its
// number kept up to date while it is the one open), just gone, or back at
// `found`. `what` names the device in the log ("Midi out", "Midi in").
enum class Presence { unchanged, gone, back };
Presence followChoice(DeviceChoice& choice, RelaxedInt& device,
                      const std::vector<std::string>& list, const std::string& what, int& found) {
  if (choice.name.empty()) return Presence::unchanged;
  found = Midi_findstable(list, choice.name);
  if (!choice.absent) {
    if (found >= 0) {
      if (!choice.standIn) {
        device = found;
        choice.number = found;
      }
      return Presence::unchanged;
    }
    Log_line(what + " assente: " + choice.name);
    return Presence::gone;
  }
  if (found < 0) return Presence::unchanged;
  Log_line(what + " di nuovo presente: " + choice.name);
  return Presence::back;
}

void followOutput(MidiOut& out, const std::vector<std::string>& list) {
  DeviceChoice& choice = midiOutChoice;
  ConsoleState& s = consoleState;
  int found = -1;
  const Presence presence = followChoice(choice, s.midiOutDevice, list, "Midi out", found);
  if (presence == Presence::unchanged) return;
  if (presence == Presence::gone) {
    if (!choice.standIn) {
      // Until it returns every send is skipped: nothing to fail on.
      Midi_changebegin();
      if (s.hMidiOut != 0) out.close(s.hMidiOut);
      s.hMidiOut = 0;
      Midi_notesoff();  // the sends are skipped; the displays let go of every key
    }
    choice.absent = choice.standIn = true;
    return;
  }
  // The chosen one is opened while the stand-in (if any) still plays, so
  // that one which will not open changes nothing: the next change of the
  // ports tries again.
  const int32_t standIn = s.hMidiOut;
  const bool away = Midi_changing();
  Midi_changebegin();
  Midi_openout(found);
  if (s.hMidiOut == 0) {
    s.hMidiOut = standIn;
    if (!away) Midi_changeend();
    return;
  }
  if (standIn != 0) {
    // The stand-in lets go of everything it plays before it is closed.
    for (int c = 0; c < 16; ++c)
      out.send(standIn, MidiMessage(kControlChange + c, kAllNotesOff).word);
    out.close(standIn);
  }
  s.midiOutDevice = found;
  choice.number = found;
  choice.absent = choice.standIn = false;
  Midi_changeend();
  Midi_notesoff();
}

void followInput(const std::vector<std::string>& list) {
  DeviceChoice& choice = midiInChoice;
  ConsoleState& s = consoleState;
  int found = -1;
  const Presence presence = followChoice(choice, s.midiInDevice, list, "Midi in", found);
  if (presence == Presence::unchanged) return;
  if (presence == Presence::gone) {
    if (!choice.standIn) {
      Keys_releaseall();
      Midi_closein();
    }
    choice.absent = choice.standIn = true;
    return;
  }
  if (s.hMidiIn != 0) {
    Keys_releaseall();
    Midi_closein();
  }
  if (!Midi_openin(found)) return;
  Midi_startin();
  s.midiInDevice = found;
  choice.number = found;
  choice.absent = choice.standIn = false;
}

void followFeeders(MidiIn& in) {
  ConsoleState& s = consoleState;
  MidiPortWatch* watch = enginePlatform.portWatch;
  const std::string address =
      s.hMidiIn != 0 && s.midiInDevice == 0 ? in.address(s.hMidiIn) : std::string();
  if (!watch || !watch->alive() || address.empty()) {
    Midi_hotplugreset();
    return;
  }
  // Another input (or the same one opened anew) starts with no feeders.
  if (s.hMidiIn != feedHandle || address != feedAddress) {
    Midi_hotplugreset();
    feedHandle = s.hMidiIn;
    feedAddress = address;
  }
  std::map<std::string, std::string> present;
  for (const MidiSourcePort& port : watch->sources()) present[port.address] = port.name;
  std::set<std::string> feeding;
  for (const std::string& port : watch->feeding(address)) feeding.insert(port);

  // Ports that fed the input and do no more: their keys will not be released.
  bool lost = false;
  for (auto it = feeders.begin(); it != feeders.end();) {
    if (feeding.count(it->first)) {
      ++it;
      continue;
    }
    if (present.count(it->first)) {
      Log_line("Midi in: " + it->second + " scollegato");
      cutByHand.insert(it->first);
    } else {
      Log_line("Midi in assente: " + it->second);
    }
    lost = true;
    it = feeders.erase(it);
  }
  if (lost) Keys_releaseall();
  // A port disconnected by hand that goes away is forgotten: when it comes
  // back it is a new port.
  for (auto it = cutByHand.begin(); it != cutByHand.end();)
    it = present.count(*it) ? std::next(it) : cutByHand.erase(it);
  // Whatever feeds it now, connected by anyone, is followed.
  for (const std::string& port : feeding) {
    auto known = present.find(port);
    if (known == present.end() || feeders.count(port)) continue;
    feeders[port] = known->second;
    cutByHand.erase(port);
  }
  if (!enginePlatform.autoconnect) return;
  for (const auto& [port, name] : present) {
    if (feeders.count(port) || cutByHand.count(port)) continue;
    if (!watch->connect(port, address)) continue;
    feeders[port] = name;
    Log_line("Midi in: " + name + " collegato a " + RtMidiNames::kInputPort);
  }
}

}  // namespace

void Midi_hotplugreset() {
  feeders.clear();
  cutByHand.clear();
  feedHandle = 0;
  feedAddress.clear();
}

bool Midi_hotplug() {
  if (Dialog_changing()) return false;
  if (enginePlatform.midiOut) followOutput(*enginePlatform.midiOut, enginePlatform.midiOut->list());
  if (enginePlatform.midiIn) {
    followInput(enginePlatform.midiIn->list());
    followFeeders(*enginePlatform.midiIn);
  }
  return true;
}

}  // namespace zt
