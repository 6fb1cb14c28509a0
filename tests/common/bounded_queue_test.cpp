// The lock-free queue: order, fullness, reuse of its cells, and producers
// and consumers on several threads (run under ThreadSanitizer).
#include "common/bounded_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace zt::test {
namespace {

TEST(BoundedQueueTest, CapacityIsChosenAtConstructionAndRoundedUpToAPowerOfTwo) {
  EXPECT_EQ(BoundedQueue<int>(4096).capacity(), 4096u);
  EXPECT_EQ(BoundedQueue<int>(3000).capacity(), 4096u);
  EXPECT_EQ(BoundedQueue<int>(0).capacity(), 2u);
  EXPECT_EQ(BoundedQueue<int>(1).capacity(), 2u);
  BoundedQueue<int> q(5);
  int stored = 0;
  while (q.push(stored)) ++stored;
  EXPECT_EQ(stored, 8);  // exactly the capacity it reports
}

TEST(BoundedQueueTest, AFullQueueRefusesWithoutLosingWhatItHolds) {
  BoundedQueue<uint32_t> q(4);
  for (uint32_t i = 1; i <= 4; ++i) ASSERT_TRUE(q.push(i));
  EXPECT_FALSE(q.push(99));
  EXPECT_FALSE(q.push(100));
  uint32_t v = 0;
  ASSERT_TRUE(q.pop(v));
  EXPECT_EQ(v, 1u);
  // One cell freed: exactly one more fits, and it comes out last.
  EXPECT_TRUE(q.push(5));
  EXPECT_FALSE(q.push(6));
  for (uint32_t want = 2; want <= 5; ++want) {
    ASSERT_TRUE(q.pop(v));
    EXPECT_EQ(v, want);
  }
  EXPECT_FALSE(q.pop(v));
  EXPECT_EQ(v, 5u);  // an empty pop leaves the item alone
}

TEST(BoundedQueueTest, KeepsOrderAcrossManyWrapsOfItsCells) {
  BoundedQueue<std::string> q(4);
  int next = 0, expected = 0;
  for (int round = 0; round < 1000; ++round) {
    // Alternate fill levels so head and tail wrap at different cells.
    int burst = 1 + round % 4;
    for (int i = 0; i < burst; ++i) ASSERT_TRUE(q.push(std::to_string(next++)));
    std::string s;
    for (int i = 0; i < burst; ++i) {
      ASSERT_TRUE(q.pop(s));
      ASSERT_EQ(s, std::to_string(expected++));
    }
  }
  std::string s;
  EXPECT_FALSE(q.pop(s));
}

TEST(BoundedQueueTest, ManyProducersOneConsumerLoseNothingWhileThereIsRoom) {
  BoundedQueue<int> queue(1024);
  constexpr int perThread = 20000;
  std::atomic<int> producersDone{0};
  auto produce = [&](int base) {
    for (int i = 0; i < perThread; ++i)
      while (!queue.push(base + i)) std::this_thread::yield();
    ++producersDone;
  };
  std::thread a(produce, 0), b(produce, 1000000);
  long long sum = 0;
  int count = 0, lastA = -1, lastB = -1;
  bool ordered = true;
  for (;;) {
    int v;
    if (queue.pop(v)) {
      sum += v;
      ++count;
      int& last = v >= 1000000 ? lastB : lastA;
      if (v <= last) ordered = false;
      last = v;
    } else if (producersDone == 2) {
      if (!queue.pop(v)) break;
      sum += v;
      ++count;
    }
  }
  a.join();
  b.join();
  EXPECT_EQ(count, 2 * perThread);
  EXPECT_EQ(sum, 2LL * (perThread - 1) * perThread / 2 + 1000000LL * perThread);
  EXPECT_TRUE(ordered);  // each producer's items come out in its order
  int v;
  EXPECT_FALSE(queue.pop(v));
  for (int i = 0; i < 1024; ++i) ASSERT_TRUE(queue.push(i));
  EXPECT_FALSE(queue.push(1024));
}
TEST(BoundedQueueTest, TwoProducersTwoConsumersTakeEachItemExactlyOnce) {
  // A small queue, so both sides keep meeting a full or an empty queue.
  BoundedQueue<uint32_t> queue(8);
  constexpr uint32_t perProducer = 50000;
  std::vector<std::atomic<int>> seen(2 * perProducer);
  std::atomic<uint32_t> taken{0};
  auto produce = [&](uint32_t base) {
    for (uint32_t i = 0; i < perProducer; ++i)
      while (!queue.push(base + i)) std::this_thread::yield();
  };
  auto consume = [&] {
    uint32_t v;
    while (taken.load() < 2 * perProducer) {
      if (queue.pop(v)) {
        seen[v].fetch_add(1);
        taken.fetch_add(1);
      } else {
        std::this_thread::yield();
      }
    }
  };
  std::thread p1(produce, 0), p2(produce, perProducer), c1(consume), c2(consume);
  p1.join();
  p2.join();
  c1.join();
  c2.join();
  int missing = 0, twice = 0;
  for (auto& n : seen) {
    missing += n.load() == 0;
    twice += n.load() > 1;
  }
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(twice, 0);
  uint32_t v;
  EXPECT_FALSE(queue.pop(v));
}

}  // namespace
}  // namespace zt::test
