#include "console/engine/midi_devices.h"

#include <string>

#include "common/number_text.h"
#include "common/text_case.h"
#include "console/engine/console_state.h"
#include "console/engine/display_seam.h"
#include "console/engine/engine_platform.h"
#include "console/engine/midi_routing.h"

namespace zt {

int Midi_findsynth() {
  MidiOut* out = enginePlatform.midiOut;
  if (!out) return 0;
  int n = out->count();
  for (int i = 0; i < n; ++i) {
    // The embedded synthesiser is this console's SoundFont card.
    if (out->playsSoundFonts(i)) return 1;
    std::string found;
    if (out->name(i, found) != MIDI_OK) continue;
    const std::string name = Text_upper(found);
    if (name.find("LIVE") != std::string::npos || name.find("AWE") != std::string::npos) return 1;
  }
  return 0;
}

int Midi_openin(int device) {
  ConsoleState& s = consoleState;
  if (s.hMidiIn != 0 || !enginePlatform.midiIn) return 0;
  int32_t handle = 0;
  if (enginePlatform.midiIn->open(handle, device, Midi_inproc, 0) != MIDI_OK) return 0;
  s.hMidiIn = handle;
  Log_line("Open Midi Device In " + Text_str(device) + " is OK");
  return 1;
}

int Midi_startin() {
  if (!enginePlatform.midiIn) return 0;
  return enginePlatform.midiIn->start(consoleState.hMidiIn) == MIDI_OK ? 1 : 0;
}

int Midi_closein() {
  ConsoleState& s = consoleState;
  if (s.hMidiIn == 0 || !enginePlatform.midiIn) return 0;
  int stopped = enginePlatform.midiIn->stop(s.hMidiIn);
  int closed = enginePlatform.midiIn->close(s.hMidiIn);
  if (stopped != MIDI_OK || closed != MIDI_OK) return 0;
  s.hMidiIn = 0;
  return 1;
}

void Midi_openout(int device) {
  int32_t handle = 0;
  int rc = enginePlatform.midiOut ? enginePlatform.midiOut->open(handle, device) : MIDIERR_NODRIVER;
  if (rc == MIDI_OK) {
    consoleState.hMidiOut = handle;
    Log_line("Open Midi Device Out " + Text_str(device) + " \xE8 OK");
  } else {
    // A failed open leaves no handle: sends then fail as on a closed device.
    consoleState.hMidiOut = 0;
    Log_line("Open Midi Device Out errore:" + Midi_errortext(rc) + Text_str(rc));
  }
}

void Midi_closeout() {
  int rc = enginePlatform.midiOut ? enginePlatform.midiOut->close(consoleState.hMidiOut)
                                  : MIDIERR_NODRIVER;
  if (rc == MIDI_OK) {
    Log_line("Close OK");
    Engine_pause(enginePlatform.closeWaitMs);
  } else {
    Log_line("Errore" + Midi_errortext(rc) + Text_str(rc));
  }
}

}  // namespace zt
