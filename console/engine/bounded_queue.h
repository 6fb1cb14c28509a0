#pragma once
// A bounded multi-producer multi-consumer queue of fixed-size records
// (D. Vyukov's design): push and pop are lock-free, never allocate and never
// wait. Each cell carries a sequence number that tells whose turn it is.
#include <array>
#include <atomic>
#include <cstddef>

namespace zt {

template <typename T, size_t N>
class BoundedQueue {
  static_assert(N >= 2 && (N & (N - 1)) == 0, "capacity must be a power of two");

 public:
  BoundedQueue() {
    for (size_t i = 0; i < N; ++i) cells_[i].seq.store(i, std::memory_order_relaxed);
  }

  bool push(const T& item) {
    size_t pos = tail_.load(std::memory_order_relaxed);
    for (;;) {
      Cell& cell = cells_[pos & (N - 1)];
      size_t seq = cell.seq.load(std::memory_order_acquire);
      auto diff = static_cast<std::ptrdiff_t>(seq) - static_cast<std::ptrdiff_t>(pos);
      if (diff == 0) {
        if (tail_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
          cell.data = item;
          cell.seq.store(pos + 1, std::memory_order_release);
          return true;
        }
      } else if (diff < 0) {
        return false;  // full
      } else {
        pos = tail_.load(std::memory_order_relaxed);
      }
    }
  }

  bool pop(T& item) {
    size_t pos = head_.load(std::memory_order_relaxed);
    for (;;) {
      Cell& cell = cells_[pos & (N - 1)];
      size_t seq = cell.seq.load(std::memory_order_acquire);
      auto diff = static_cast<std::ptrdiff_t>(seq) - static_cast<std::ptrdiff_t>(pos + 1);
      if (diff == 0) {
        if (head_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
          item = cell.data;
          cell.seq.store(pos + N, std::memory_order_release);
          return true;
        }
      } else if (diff < 0) {
        return false;  // empty
      } else {
        pos = head_.load(std::memory_order_relaxed);
      }
    }
  }

  static constexpr size_t capacity() { return N; }

 private:
  struct Cell {
    std::atomic<size_t> seq;
    T data;
  };
  std::array<Cell, N> cells_;
  alignas(64) std::atomic<size_t> tail_{0};
  alignas(64) std::atomic<size_t> head_{0};
};

}  // namespace zt
