#include "platform/midi/midi_in.h"

namespace zt {

namespace {
int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

MidiIn::~MidiIn() {
  for (Slot& slot : slots_) {
    int32_t h = slot.handle.load();
    if (h != 0) close(h);
  }
}

// Time stamps count milliseconds from the last start, as drivers report them.
uintptr_t MidiIn::Slot::stamp() const {
  return static_cast<uintptr_t>(
      static_cast<uint32_t>((nowNs() - startNs.load(std::memory_order_relaxed)) / 1000000));
}

void MidiIn::Slot::midiData(uint32_t message) {
  proc(handle.load(std::memory_order_relaxed), MIM_DATA, instance, message, stamp());
}

void MidiIn::Slot::midiError(uint32_t message) {
  proc(handle.load(std::memory_order_relaxed), MIM_ERROR, instance, message, stamp());
}

int MidiIn::open(int32_t& handle, int device, MidiInProc proc, uintptr_t instance) {
  if (!proc) return MIDIERR_ERROR;
  MidiInDriver* driver = nullptr;
  int port = 0;
  if (!locate(device, driver, port)) return MIDIERR_BADDEVICEID;
  Slot* slot = slots_.freeSlot();
  if (!slot) return MIDIERR_NOMEM;
  // The slot is filled in before the port exists, so a port that calls
  // back at once finds everything in place.
  slot->handle.store(slots_.issue(*slot));
  slot->proc = proc;
  slot->instance = instance;
  slot->startNs.store(nowNs());
  int rc = driver->openPort(port, slot, slot->port);
  if (rc == MIDI_OK && !slot->port) rc = MIDIERR_ERROR;
  if (rc != MIDI_OK) {
    slot->port.reset();
    slot->handle.store(0);
    return rc;
  }
  handle = slot->handle.load();
  proc(handle, MIM_OPEN, instance, 0, 0);
  return MIDI_OK;
}

int MidiIn::start(int32_t handle) {
  Slot* slot = slots_.find(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  slot->startNs.store(nowNs());
  return slot->port->start();
}

int MidiIn::stop(int32_t handle) {
  Slot* slot = slots_.find(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  return slot->port->stop();
}

int MidiIn::close(int32_t handle) {
  Slot* slot = slots_.find(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  slot->port->stop();
  slot->port.reset();
  MidiInProc proc = slot->proc;
  uintptr_t instance = slot->instance;
  slot->handle.store(0);
  slot->proc = nullptr;
  proc(handle, MIM_CLOSE, instance, 0, 0);
  return MIDI_OK;
}

std::string MidiIn::address(int32_t handle) {
  Slot* slot = slots_.find(handle);
  return slot && slot->port ? slot->port->address() : std::string();
}

}  // namespace zt
