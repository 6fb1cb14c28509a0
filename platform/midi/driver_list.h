#pragma once
// The drivers behind one device list: devices are numbered in the order the
// drivers were added, each driver's ports in its own order. MidiIn and MidiOut
// are such lists.
//
// Listing asks the MIDI system (a driver of system ports talks to its
// server): one listing asks every driver once. The thread that opens and
// closes devices (the console's window thread) lists them.
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

  // Every device's name, in device order, from one listing: each driver is
  // asked once for its ports and then names them from that answer. Dialogs
  // and look-ups by name use this rather than count() and name(), which ask
  // every driver again for each device.
  std::vector<std::string> list() const {
    std::vector<std::string> names;
    listAfresh();
    for (size_t d = 0; d < drivers_.size(); ++d)
      for (int i = 0; i < counts_[d]; ++i) names.push_back(drivers_[d]->portName(i));
    return names;
  }

  // Every driver lists its ports afresh.
  int count() const {
    int total = 0;
    for (int n : listAfresh()) total += n;
    return total;
  }

  // The device's name as of the last listing (count() or list(); one is made
  // first when there was none), so that counting and then naming every device
  // asks each driver once; MIDIERR_BADDEVICEID when there is no such device.
  int name(int device, std::string& name) const {
    Driver* driver = nullptr;
    int port = 0;
    if (!listed(device, driver, port)) return MIDIERR_BADDEVICEID;
    name = driver->portName(port);
    return MIDI_OK;
  }

 protected:
  // The driver and its port number as of the last listing (one is made
  // first when there was none), for questions asked of every device in turn.
  bool listed(int device, Driver*& driver, int& port) const {
    if (counts_.size() != drivers_.size()) listAfresh();
    return find(device, driver, port);
  }

  // The driver and its port number for a device number, the ports listed
  // afresh (opening goes by the ports as they are now).
  bool locate(int device, Driver*& driver, int& port) const {
    listAfresh();
    return find(device, driver, port);
  }

 private:
  const std::vector<int>& listAfresh() const {
    counts_.resize(drivers_.size());
    for (size_t d = 0; d < drivers_.size(); ++d) counts_[d] = drivers_[d]->portCount();
    return counts_;
  }

  // In the last listing.
  bool find(int device, Driver*& driver, int& port) const {
    if (device < 0) return false;
    for (size_t d = 0; d < drivers_.size() && d < counts_.size(); ++d) {
      if (device < counts_[d]) {
        driver = drivers_[d].get();
        port = device;
        return true;
      }
      device -= counts_[d];
    }
    return false;
  }

  std::vector<std::shared_ptr<Driver>> drivers_;
  mutable std::vector<int> counts_;  // each driver's ports at the last listing
};

}  // namespace zt
