#include "platform/midi/midi_result.h"

namespace zt {

std::string Midi_errortext(int code) {
  switch (code) {
    case MIDI_OK: return "The command completed successfully.";
    case MIDIERR_ERROR: return "Unspecified error.";
    case MIDIERR_BADDEVICEID: return "The device ID is out of range.";
    case MIDIERR_ALLOCATED: return "The device is already in use.";
    case MIDIERR_INVALHANDLE: return "The device handle is invalid.";
    case MIDIERR_NODRIVER: return "No device driver is present.";
    case MIDIERR_NOMEM: return "Out of memory.";
    case MIDIERR_NOTREADY: return "The device is not ready.";
    default: return "Unknown error " + std::to_string(code) + ".";
  }
}

}  // namespace zt
