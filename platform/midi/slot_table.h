#pragma once
// The fixed table of open devices behind MidiIn and MidiOut, and the handles
// that name its slots.
//
// A handle carries its slot in the low 4 bits (1-based, so no handle is 0)
// and a generation above, so a handle kept after its device was closed never
// reaches a later device that reuses the slot: the slot's own handle no
// longer matches it. The table never allocates, and looking a handle up
// touches no shared state but the slot's handle, so it may be done from any
// thread; issuing handles and claiming slots belong to the one thread that
// opens and closes devices.
#include <array>
#include <atomic>
#include <cstdint>

namespace zt {

// Slot must have a member `std::atomic<int32_t> handle`: 0 while the slot is
// free, the slot's current handle while it is in use (any other non-zero
// value also marks it in use, e.g. while it is being closed).
template <typename Slot, int N>
class SlotTable {
  static_assert(N >= 1 && N <= 15, "the slot number must fit the handle's low 4 bits");

 public:
  // The slot a handle names by its low bits, whatever it holds now; null for
  // a value that no handle can have. Callers compare the slot's handle.
  Slot* slotAt(int32_t handle) {
    if (handle <= 0) return nullptr;
    int index = (handle & 0xF) - 1;
    if (index < 0 || index >= N) return nullptr;
    return &slots_[index];
  }

  // The slot that holds exactly this handle now, or null (a stale handle).
  Slot* find(int32_t handle) {
    Slot* slot = slotAt(handle);
    return slot && slot->handle.load() == handle ? slot : nullptr;
  }

  // The first free slot, or null when every slot is in use.
  Slot* freeSlot() {
    for (Slot& slot : slots_)
      if (slot.handle.load() == 0) return &slot;
    return nullptr;
  }

  // A new handle for this slot, different from every handle issued before
  // it (the 26-bit generation wraps after some 67 million opens, skipping 0).
  int32_t issue(const Slot& slot) {
    generation_ = (generation_ + 1) & 0x3FFFFFF;
    if (generation_ == 0) generation_ = 1;
    return (generation_ << 4) | static_cast<int32_t>(&slot - slots_.data() + 1);
  }

  Slot* begin() { return slots_.data(); }
  Slot* end() { return slots_.data() + N; }

 private:
  std::array<Slot, N> slots_;
  int32_t generation_ = 0;
};

}  // namespace zt
