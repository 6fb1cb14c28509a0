#pragma once
// A 32-bit integer field shared between the window thread and the MIDI input
// thread. Every read and write is one relaxed atomic access: each write is a
// single store, no lock is taken, and there is no data race.
#include <atomic>
#include <cstdint>

namespace zt {

class RelaxedInt {
 public:
  constexpr RelaxedInt(int32_t v = 0) : value_(v) {}
  RelaxedInt(const RelaxedInt&) = delete;
  operator int32_t() const { return value_.load(std::memory_order_relaxed); }
  RelaxedInt& operator=(int32_t v) {
    value_.store(v, std::memory_order_relaxed);
    return *this;
  }
  RelaxedInt& operator=(const RelaxedInt& other) { return *this = static_cast<int32_t>(other); }

 private:
  std::atomic<int32_t> value_;
};

}  // namespace zt
