#pragma once
// The MIDI devices the organist chose, remembered by name as well as by
// number.
//
// Device numbers follow the order in which the system lists its ports, which
// changes from run to run and whenever a device comes or goes; a port's
// stable name (Midi_stablename) does not. "consolle.cfg" keeps the numbers;
// the names are kept beside them (Config_savenames) and win over the
// numbers whenever their port is there.
//
// Window thread only.
#include <string>
#include <vector>

namespace zt {

struct DeviceChoice {
  std::string name;      // the chosen port's stable name; empty when none is known
  int number = 0;        // the number "consolle.cfg" keeps for the choice
  bool absent = false;   // its port is missing: it is taken when it appears
  bool standIn = false;  // it is not the device open (missing, or it would
                         // not open): another one, or none, stands in
};

extern DeviceChoice midiOutChoice;
extern DeviceChoice midiInChoice;

// Forgets both choices (start-up, tests).
void Device_forget();

// The organist chose `entry` (a dialog's " 2 name" text): `choice` keeps its
// name and number, and is neither absent nor stood in for.
void Device_choose(DeviceChoice& choice, const std::string& entry);

// The dialog entry of a chosen device that is not there: " - name (assente)".
std::string Device_absententry(const std::string& name);

}  // namespace zt
