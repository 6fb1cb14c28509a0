#pragma once
// Allocator of the event tables. A big song's tables run to hundreds of
// megabytes, all written once at load; on Linux, large tables are mapped on
// their own and marked for transparent huge pages, so filling them costs a
// few hundred page faults instead of tens of thousands. Small tables, and
// other systems, use the ordinary heap.
#include <cstddef>

namespace zt {

void* AllocateEventTable(std::size_t bytes);
void FreeEventTable(void* table, std::size_t bytes) noexcept;

template <class T>
struct EventTableAllocator {
  using value_type = T;
  EventTableAllocator() = default;
  template <class U>
  EventTableAllocator(const EventTableAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return static_cast<T*>(AllocateEventTable(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { FreeEventTable(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const EventTableAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace zt
