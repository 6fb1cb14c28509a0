#pragma once
// The drivers behind one device list: devices are numbered in the order the
// drivers were added, each driver's ports in its own order. MidiIn and MidiOut
// are such lists.
#include <memory>
#include <string>
#include <vector>

#include "platform/midi/midi_result.h"

namespace zt {

template <typename Driver>
class DriverList {
 public:
  // Drivers are added before any device is opened.
  void addDriver(std::shared_ptr<Driver> driver) { drivers_.push_back(std::move(driver)); }

  // Every driver lists its ports afresh.
  int count() const {
    int total = 0;
    for (auto& d : drivers_) total += d->portCount();
    return total;
  }

  // The device's name; MIDIERR_BADDEVICEID when there is no such device.
  int name(int device, std::string& name) const {
    Driver* driver = nullptr;
    int port = 0;
    if (!locate(device, driver, port)) return MIDIERR_BADDEVICEID;
    name = driver->portName(port);
    return MIDI_OK;
  }

 protected:
  // The driver and its port number for a device number.
  bool locate(int device, Driver*& driver, int& port) const {
    if (device < 0) return false;
    for (auto& d : drivers_) {
      int n = d->portCount();
      if (device < n) {
        driver = d.get();
        port = device;
        return true;
      }
      device -= n;
    }
    return false;
  }

 private:
  std::vector<std::shared_ptr<Driver>> drivers_;
};

}  // namespace zt
