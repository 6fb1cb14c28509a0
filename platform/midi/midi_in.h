#pragma once
// The MIDI input device layer: one numbered list of input devices made of the
// ports of every backend, opened with a callback that the backend's own
// thread calls for every message, as a driver does.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/driver_list.h"
#include "platform/midi/midi_result.h"
#include "platform/midi/slot_table.h"

namespace zt {

// Message codes passed to the input callback.
enum MidiInMessage : uint32_t {
  MIM_OPEN = 0x3C1,
  MIM_CLOSE = 0x3C2,
  MIM_DATA = 0x3C3,      // param1: short message, param2: ms since start
  MIM_LONGDATA = 0x3C4,  // param1, param2: buffer address and time stamp
  MIM_ERROR = 0x3C5,     // param1: the malformed message, param2: ms
  MIM_LONGERROR = 0x3C6,
};

using MidiInProc = void (*)(int32_t handle, uint32_t message, uintptr_t instance, uintptr_t param1,
                            uintptr_t param2);

// What an open port reports to, from the backend's own thread.
class MidiInListener {
 public:
  virtual ~MidiInListener() = default;
  virtual void midiData(uint32_t message) = 0;
  virtual void midiError(uint32_t message) = 0;
};

// One open input port of a backend. It calls its listener only between
// start() and stop(); once stop() or the destructor has returned it never
// calls it again.
class MidiInPort {
 public:
  virtual ~MidiInPort() = default;
  virtual int start() = 0;
  virtual int stop() = 0;
  // Where the system's other ports connect to this one ("client:port" on
  // JACK and ALSA); empty when the backend has no such thing.
  virtual std::string address() { return {}; }
};

class MidiInDriver {
 public:
  virtual ~MidiInDriver() = default;
  virtual int portCount() = 0;
  virtual std::string portName(int port) = 0;
  virtual int openPort(int port, MidiInListener* listener, std::unique_ptr<MidiInPort>& opened) = 0;
};

// Devices are numbered in the order the drivers were added (addDriver,
// count and name come from DriverList).
class MidiIn : public DriverList<MidiInDriver> {
 public:
  static constexpr int kSlots = 4;

  // Not copyable (the slot table is not); closes every device still open.
  ~MidiIn();

  // Opens the device; the callback gets MIM_OPEN at once on this thread,
  // then MIM_DATA / MIM_ERROR from the backend's thread after start().
  int open(int32_t& handle, int device, MidiInProc proc, uintptr_t instance);
  int start(int32_t handle);
  int stop(int32_t handle);
  // Stops delivery, then calls back with MIM_CLOSE on this thread.
  int close(int32_t handle);
  // The system's address of the console's own port behind an open handle
  // (MidiInPort::address); empty for a stale handle. The thread that opens
  // and closes devices.
  std::string address(int32_t handle);

 private:
  struct Slot : MidiInListener {
    std::atomic<int32_t> handle{0};  // 0 while the slot is free
    std::unique_ptr<MidiInPort> port;
    MidiInProc proc = nullptr;
    uintptr_t instance = 0;
    std::atomic<int64_t> startNs{0};
    void midiData(uint32_t message) override;
    void midiError(uint32_t message) override;
    uintptr_t stamp() const;
  };

  SlotTable<Slot, kSlots> slots_;
};

}  // namespace zt
