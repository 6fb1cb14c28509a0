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
  for (Slot& slot : slots_)
    if (slot.handle != 0) close(slot.handle);
}

void MidiIn::addDriver(std::shared_ptr<MidiInDriver> driver) { drivers_.add(std::move(driver)); }

int MidiIn::count() { return drivers_.count(); }

int MidiIn::name(int device, std::string& name) { return drivers_.name(device, name); }

MidiIn::Slot* MidiIn::slotOf(int32_t handle) {
  if (handle <= 0) return nullptr;
  int index = (handle & 0xF) - 1;
  if (index < 0 || index >= kSlots || slots_[index].handle != handle) return nullptr;
  return &slots_[index];
}

// Time stamps count milliseconds from the last start, as drivers report them.
uintptr_t MidiIn::Slot::stamp() const {
  return static_cast<uintptr_t>(static_cast<uint32_t>((nowNs() - startNs.load(std::memory_order_relaxed)) / 1000000));
}

void MidiIn::Slot::midiData(uint32_t message) { proc(handle, MIM_DATA, instance, message, stamp()); }

void MidiIn::Slot::midiError(uint32_t message) { proc(handle, MIM_ERROR, instance, message, stamp()); }

int MidiIn::open(int32_t& handle, int device, MidiInProc proc, uintptr_t instance) {
  if (!proc) return MIDIERR_ERROR;
  MidiInDriver* driver = nullptr;
  int port = 0;
  if (!drivers_.locate(device, driver, port)) return MIDIERR_BADDEVICEID;
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots_[i];
    if (slot.handle != 0) continue;
    generation_ = (generation_ + 1) & 0x3FFFFFF;
    if (generation_ == 0) generation_ = 1;
    // The slot is filled in before the port exists, so a port that calls
    // back at once finds everything in place.
    slot.handle = (generation_ << 4) | (i + 1);
    slot.proc = proc;
    slot.instance = instance;
    slot.startNs.store(nowNs());
    int rc = driver->openPort(port, &slot, slot.port);
    if (rc == MIDI_OK && !slot.port) rc = MIDIERR_ERROR;
    if (rc != MIDI_OK) {
      slot.port.reset();
      slot.handle = 0;
      return rc;
    }
    handle = slot.handle;
    proc(handle, MIM_OPEN, instance, 0, 0);
    return MIDI_OK;
  }
  return MIDIERR_NOMEM;
}

int MidiIn::start(int32_t handle) {
  Slot* slot = slotOf(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  slot->startNs.store(nowNs());
  return slot->port->start();
}

int MidiIn::stop(int32_t handle) {
  Slot* slot = slotOf(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  return slot->port->stop();
}

int MidiIn::close(int32_t handle) {
  Slot* slot = slotOf(handle);
  if (!slot) return MIDIERR_INVALHANDLE;
  slot->port->stop();
  slot->port.reset();
  MidiInProc proc = slot->proc;
  uintptr_t instance = slot->instance;
  slot->handle = 0;
  slot->proc = nullptr;
  proc(handle, MIM_CLOSE, instance, 0, 0);
  return MIDI_OK;
}

}  // namespace zt
