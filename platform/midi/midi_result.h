#pragma once
// Result codes of the MIDI device calls. 0 is success; the other values
// follow the classic multimedia numbering so that the console's log lines
// and error texts read as they always have.
#include <string>

namespace zt {

enum MidiResult : int {
  MIDI_OK = 0,
  MIDIERR_ERROR = 1,        // unspecified failure
  MIDIERR_BADDEVICEID = 2,  // no such device
  MIDIERR_ALLOCATED = 4,    // the device is already in use
  MIDIERR_INVALHANDLE = 5,  // the handle is not (or no longer) open
  MIDIERR_NODRIVER = 6,     // the backend is not available
  MIDIERR_NOMEM = 7,        // out of memory or handle slots
  MIDIERR_NOTREADY = 67,    // the port refused the message (queue full)
};

// The readable text for a result code (the midiOutGetErrorText role).
std::string Midi_errortext(int code);

}  // namespace zt
