#include "platform/midi/midi_out.h"

#include <thread>

namespace zt {

MidiOut::~MidiOut() {
  for (Slot& slot : slots_) {
    int32_t h = slot.handle.load();
    if (h != 0) close(h);
  }
}

int MidiOut::open(int32_t& handle, int device) {
  MidiOutDriver* driver = nullptr;
  int port = 0;
  if (!locate(device, driver, port)) return MIDIERR_BADDEVICEID;
  Slot* slot = slots_.freeSlot();
  if (!slot) return MIDIERR_NOMEM;
  std::unique_ptr<MidiOutPort> opened;
  int rc = driver->openPort(port, opened);
  if (rc != MIDI_OK) return rc;
  if (!opened) return MIDIERR_ERROR;
  // The handle is published last, so a sender that sees it finds the port.
  int32_t h = slots_.issue(*slot);
  slot->device = device;
  slot->port.store(opened.release());
  slot->handle.store(h);
  handle = h;
  return MIDI_OK;
}

int MidiOut::send(int32_t handle, uint32_t message) {
  Slot* slot = slots_.slotAt(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  // Announce the send before looking at the handle: close() clears the handle
  // first and then waits for the announced sends to finish.
  slot->inflight.fetch_add(1);
  int rc = MIDIERR_INVALHANDLE;
  if (slot->handle.load() == handle) {
    MidiOutPort* port = slot->port.load();
    if (port) rc = port->send(message);
  }
  slot->inflight.fetch_sub(1);
  return rc;
}

int MidiOut::close(int32_t handle) {
  Slot* slot = slots_.slotAt(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  int32_t expected = handle;
  if (!slot->handle.compare_exchange_strong(expected, -1)) return MIDIERR_INVALHANDLE;
  while (slot->inflight.load() != 0) std::this_thread::yield();
  delete slot->port.exchange(nullptr);
  slot->device = -1;
  slot->handle.store(0);
  return MIDI_OK;
}

bool MidiOut::playsSoundFonts(int device) const {
  MidiOutDriver* driver = nullptr;
  int port = 0;
  return listed(device, driver, port) && driver->playsSoundFonts(port);
}

int MidiOut::deviceId(int32_t handle, int& device) {
  Slot* slot = slots_.find(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  device = slot->device;
  return MIDI_OK;
}

}  // namespace zt
