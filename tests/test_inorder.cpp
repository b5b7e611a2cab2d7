// Pieces prepared on two threads and used in order on the calling one: the
// reader of big files stands on this.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "jwwgaibu/InOrder.h"

namespace {

// Every piece is prepared once and used once, in order, and finds its slot
// holding what its own preparing put there, whichever thread prepared it and
// however the preparing times vary.
TEST(PrepareAheadInOrder, UsesEveryPieceInOrderWithItsOwnSlot) {
  for (const bool helper : {false, true}) {
    for (const size_t slots : {1, 2, 3, 8}) {
      constexpr size_t kCount = 300;
      std::vector<size_t> slot(slots, kCount);
      std::vector<std::atomic<int>> preparedTimes(kCount);
      std::vector<size_t> usedOrder;
      PrepareAheadInOrder(
          kCount, slots, helper,
          [&](size_t s, size_t i) {
            if (i % 7 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
            slot[s] = i;
            ++preparedTimes[i];
          },
          [&](size_t s, size_t i) {
            EXPECT_EQ(slot[s], i);
            usedOrder.push_back(i);
            return true;
          });
      ASSERT_EQ(usedOrder.size(), kCount);
      for (size_t i = 0; i < kCount; ++i) {
        EXPECT_EQ(usedOrder[i], i);
        EXPECT_EQ(preparedTimes[i], 1) << "piece " << i;
      }
    }
  }
}

// A failure while preparing a piece, on either thread, or while using one,
// reaches the caller; nothing hangs and no piece after it is used.
TEST(PrepareAheadInOrder, AFailureReachesTheCaller) {
  for (const size_t failing : {0, 1, 5, 39}) {
    for (const bool inUse : {false, true}) {
      size_t used = 0;
      auto run = [&] {
        PrepareAheadInOrder(
            40, 4, true,
            [&](size_t, size_t i) {
              if (!inUse && i == failing) throw std::runtime_error("prepare");
            },
            [&](size_t, size_t i) {
              if (inUse && i == failing) throw std::runtime_error("use");
              ++used;
              return true;
            });
      };
      EXPECT_THROW(run(), std::runtime_error) << "piece " << failing;
      EXPECT_LE(used, failing);
    }
  }
}

}  // namespace
