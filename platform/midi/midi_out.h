#pragma once
// The MIDI output device layer: one numbered list of output devices made of
// the ports of every backend (driver), opened into integer handles that any
// thread may send on.
//
// Sending is lock-free and allocation-free, so the MIDI input thread can send
// while the window thread closes or reopens a device: a send on a handle that
// is being closed either completes before the port is destroyed or fails with
// MIDIERR_INVALHANDLE.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/driver_list.h"
#include "platform/midi/midi_result.h"
#include "platform/midi/slot_table.h"

namespace zt {

// One open output port of a backend.
class MidiOutPort {
 public:
  virtual ~MidiOutPort() = default;
  // Sends one short message (a MidiMessage word). Returns
  // MIDI_OK or an error code. Must not block or allocate.
  virtual int send(uint32_t message) = 0;
};

// A backend: the ports it offers and how to open one.
class MidiOutDriver {
 public:
  virtual ~MidiOutDriver() = default;
  virtual int portCount() = 0;
  virtual std::string portName(int port) = 0;
  virtual int openPort(int port, std::unique_ptr<MidiOutPort>& opened) = 0;
  // Whether the port is a SoundFont wavetable synthesiser whose presets the
  // soundfont report lists (the embedded one); outside ports are told by
  // their names instead.
  virtual bool playsSoundFonts(int /*port*/) { return false; }
};

// Devices are numbered in the order the drivers were added (addDriver,
// count and name come from DriverList).
class MidiOut : public DriverList<MidiOutDriver> {
 public:
  static constexpr int kSlots = 8;

  // Not copyable (the slot table is not); closes every device still open.
  ~MidiOut();

  int open(int32_t& handle, int device);
  int send(int32_t handle, uint32_t message);
  int close(int32_t handle);
  // The device number the handle was opened on.
  int deviceId(int32_t handle, int& device);
  // Whether the device is a SoundFont synthesiser (MidiOutDriver::playsSoundFonts),
  // as of the last listing.
  bool playsSoundFonts(int device) const;

 private:
  struct Slot {
    std::atomic<int32_t> handle{0};  // 0 while the slot is free, -1 while it closes
    std::atomic<int> inflight{0};    // sends in progress on this slot
    std::atomic<MidiOutPort*> port{nullptr};
    int device = -1;
  };

  SlotTable<Slot, kSlots> slots_;
};

}  // namespace zt
