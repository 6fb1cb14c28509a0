#include "platform/midi/midi_out.h"

#include <thread>

namespace zt {

MidiOut::~MidiOut() {
  for (Slot& slot : slots_) {
    int32_t h = slot.handle.load();
    if (h != 0) close(h);
  }
}

void MidiOut::addDriver(std::shared_ptr<MidiOutDriver> driver) { drivers_.add(std::move(driver)); }

int MidiOut::count() { return drivers_.count(); }

int MidiOut::name(int device, std::string& name) { return drivers_.name(device, name); }

// Handles carry the slot in their low 4 bits and a generation above, so a
// handle kept after its device was closed never reaches a later device that
// reuses the slot.
MidiOut::Slot* MidiOut::slotOf(int32_t handle) {
  if (handle <= 0) return nullptr;
  int index = (handle & 0xF) - 1;
  if (index < 0 || index >= kSlots) return nullptr;
  return &slots_[index];
}

int MidiOut::open(int32_t& handle, int device) {
  MidiOutDriver* driver = nullptr;
  int port = 0;
  if (!drivers_.locate(device, driver, port)) return MIDIERR_BADDEVICEID;
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots_[i];
    if (slot.handle.load() != 0) continue;
    std::unique_ptr<MidiOutPort> opened;
    int rc = driver->openPort(port, opened);
    if (rc != MIDI_OK) return rc;
    if (!opened) return MIDIERR_ERROR;
    generation_ = (generation_ + 1) & 0x3FFFFFF;
    if (generation_ == 0) generation_ = 1;
    int32_t h = (generation_ << 4) | (i + 1);
    slot.device = device;
    slot.port.store(opened.release());
    slot.handle.store(h);
    handle = h;
    return MIDI_OK;
  }
  return MIDIERR_NOMEM;
}

int MidiOut::send(int32_t handle, uint32_t message) {
  Slot* slot = slotOf(handle);
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
  Slot* slot = slotOf(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  int32_t expected = handle;
  if (!slot->handle.compare_exchange_strong(expected, -1)) return MIDIERR_INVALHANDLE;
  while (slot->inflight.load() != 0) std::this_thread::yield();
  delete slot->port.exchange(nullptr);
  slot->device = -1;
  slot->handle.store(0);
  return MIDI_OK;
}

int MidiOut::deviceId(int32_t handle, int& device) {
  Slot* slot = slotOf(handle);
  if (!slot || slot->handle.load() != handle) return MIDIERR_INVALHANDLE;
  device = slot->device;
  return MIDI_OK;
}

}  // namespace zt
