#pragma once
// Where a song's bytes live: the file image, read in one piece, and the
// event tables.
//
// A big song's event tables run to hundreds of megabytes, all written once
// at load; on Linux, large tables are mapped on their own and marked for
// transparent huge pages, so filling them costs a few hundred page faults
// instead of tens of thousands. Small tables, and other systems, use the
// ordinary heap.
#include <cstddef>
#include <string>

namespace zt {

// Replaces `image` with the bytes of the file at `path`. Returns false if
// the file cannot be opened or read (image is then empty).
bool File_readimage(const std::string& path, std::string& image);

void* Events_allocate(std::size_t bytes);
void Events_free(void* table, std::size_t bytes) noexcept;

template <class T>
struct EventTableAllocator {
  using value_type = T;
  EventTableAllocator() = default;
  template <class U>
  EventTableAllocator(const EventTableAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return static_cast<T*>(Events_allocate(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { Events_free(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const EventTableAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace zt
