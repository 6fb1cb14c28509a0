#pragma once
// A bounded multi-producer multi-consumer queue of fixed-size records
// (D. Vyukov's design): push and pop are lock-free, never allocate and never
// wait. Each cell carries a sequence number that tells whose turn it is.
//
// The cells are allocated once, by the constructor; after that the queue
// never allocates, so it can be used from a real-time thread.
#include <atomic>
#include <cstddef>
#include <memory>

namespace zt {

template <typename T>
class BoundedQueue {
 public:
  // Holds `capacity` records, rounded up to a power of two (at least 2).
  explicit BoundedQueue(size_t capacity) : capacity_(roundUp(capacity)), mask_(capacity_ - 1) {
    cells_ = std::make_unique<Cell[]>(capacity_);
    for (size_t i = 0; i < capacity_; ++i) cells_[i].seq.store(i, std::memory_order_relaxed);
  }
  BoundedQueue(const BoundedQueue&) = delete;
  BoundedQueue& operator=(const BoundedQueue&) = delete;

  // Stores a copy of `item` and returns true; returns false, storing
  // nothing, when the queue is full.
  bool push(const T& item) {
    size_t pos = tail_.load(std::memory_order_relaxed);
    for (;;) {
      Cell& cell = cells_[pos & mask_];
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

  // Takes the oldest record into `item` and returns true; false when empty.
  bool pop(T& item) {
    size_t pos = head_.load(std::memory_order_relaxed);
    for (;;) {
      Cell& cell = cells_[pos & mask_];
      size_t seq = cell.seq.load(std::memory_order_acquire);
      auto diff = static_cast<std::ptrdiff_t>(seq) - static_cast<std::ptrdiff_t>(pos + 1);
      if (diff == 0) {
        if (head_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
          item = cell.data;
          cell.seq.store(pos + capacity_, std::memory_order_release);
          return true;
        }
      } else if (diff < 0) {
        return false;  // empty
      } else {
        pos = head_.load(std::memory_order_relaxed);
      }
    }
  }

  size_t capacity() const { return capacity_; }

 private:
  struct Cell {
    std::atomic<size_t> seq;
    T data;
  };
  static size_t roundUp(size_t n) {
    size_t c = 2;
    while (c < n) c *= 2;
    return c;
  }

  size_t capacity_;
  size_t mask_;
  std::unique_ptr<Cell[]> cells_;
  alignas(64) std::atomic<size_t> tail_{0};
  alignas(64) std::atomic<size_t> head_{0};
};

}  // namespace zt
