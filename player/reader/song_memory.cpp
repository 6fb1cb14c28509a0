#include "player/reader/song_memory.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

#if defined(__linux__)
#include <sys/mman.h>

#include <cstdint>
#endif

namespace zt {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool File_readimage(const std::string& path, std::string& image) {
  image = std::string();
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  try {
    // Size the image once for regular files; anything else grows as read.
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!error) image.reserve(static_cast<size_t>(size));
    char buffer[1 << 16];
    for (;;) {
      const size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
      image.append(buffer, got);
      if (got < sizeof buffer) break;
    }
  } catch (const std::bad_alloc&) {
    image = std::string();
    return false;
  }
  if (std::ferror(file.get())) {
    image = std::string();
    return false;
  }
  return true;
}

#if defined(__linux__)

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a table stays on the heap: a mapping of its own would waste
// most of a huge page.
constexpr std::size_t kMappedFrom = 2 * kHugePage;

std::size_t pages(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* Events_allocate(std::size_t bytes) {
  if (bytes < kMappedFrom) return ::operator new(bytes);
  // Map one huge page more than needed and trim both ends, so the table
  // starts on a huge-page boundary.
  const std::size_t length = pages(bytes);
  void* mapped =
      mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto base = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t start = (base + kHugePage - 1) / kHugePage * kHugePage;
  if (start > base) munmap(mapped, start - base);
  const std::uintptr_t tail = start + length;
  if (base + length + kHugePage > tail)
    munmap(reinterpret_cast<void*>(tail), base + length + kHugePage - tail);
  madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE);  // a hint; fine if refused
  return reinterpret_cast<void*>(start);
}

void Events_free(void* table, std::size_t bytes) noexcept {
  if (!table) return;
  if (bytes < kMappedFrom) {
    ::operator delete(table);
    return;
  }
  munmap(table, pages(bytes));
}

#else

void* Events_allocate(std::size_t bytes) { return ::operator new(bytes); }
void Events_free(void* table, std::size_t) noexcept { ::operator delete(table); }

#endif

}  // namespace zt
