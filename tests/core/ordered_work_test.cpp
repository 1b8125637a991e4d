#include "io/ordered_work.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace vc {
namespace {

TEST(OrderedWork, TakesEveryItemInOrderWhateverTheJobCount) {
    for (unsigned jobs : {1u, 2u, 3u, 8u}) {
        std::vector<size_t> takenOrder;
        // Later items are made faster, so workers finish them out of order.
        RunInOrder(
            40, jobs,
            [](unsigned, size_t index) {
                std::this_thread::sleep_for(std::chrono::microseconds(40 - index));
                return std::to_string(index * index);
            },
            [&](size_t index, std::string made) {
                EXPECT_EQ(made, std::to_string(index * index));
                takenOrder.push_back(index);
            });
        ASSERT_EQ(takenOrder.size(), 40u) << jobs << " jobs";
        for (size_t i = 0; i < takenOrder.size(); ++i) {
            EXPECT_EQ(takenOrder[i], i) << jobs << " jobs";
        }
    }
}

TEST(OrderedWork, EachWorkerNumberIsUsedByOneThreadAtATime) {
    constexpr unsigned kJobs = 3;
    std::array<std::atomic<int>, kJobs> busy{};
    std::atomic<bool> shared = false;
    std::atomic<unsigned> highest = 0;
    RunInOrder(
        200, kJobs,
        [&](unsigned worker, size_t) {
            highest = std::max(highest.load(), worker);
            if (busy.at(worker)++ != 0) {
                shared = true;
            }
            std::this_thread::yield();
            --busy.at(worker);
            return 0;
        },
        [](size_t, int) {});
    EXPECT_FALSE(shared);
    EXPECT_LT(highest.load(), kJobs);
}

TEST(OrderedWork, AFailureIsThrownWhereItsItemWouldBeTakenAndEndsTheRun) {
    for (unsigned jobs : {1u, 2u, 4u}) {
        std::vector<size_t> takenOrder;
        try {
            RunInOrder(
                100, jobs,
                [](unsigned, size_t index) {
                    if (index == 17 || index == 60) {
                        throw std::runtime_error("item " + std::to_string(index));
                    }
                    return index;
                },
                [&](size_t index, size_t) { takenOrder.push_back(index); });
            ADD_FAILURE() << "no exception with " << jobs << " jobs";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "item 17") << jobs << " jobs";
        }
        EXPECT_EQ(takenOrder.size(), 17u) << jobs << " jobs";
    }
}

TEST(OrderedWork, AFailureOfTheTakerStopsTheWorkers) {
    std::atomic<size_t> made = 0;
    EXPECT_THROW(RunInOrder(
                     10000, 2,
                     [&](unsigned, size_t index) {
                         ++made;
                         return index;
                     },
                     [](size_t index, size_t) {
                         if (index == 3) {
                             throw std::runtime_error("disk full");
                         }
                     }),
                 std::runtime_error);
    // The workers are joined before the exception leaves: nothing is made afterwards.
    const size_t madeAtThrow = made;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(made.load(), madeAtThrow);
    EXPECT_LE(madeAtThrow, 4 + 2 * kItemsAheadPerWorker + 2);
}

TEST(OrderedWork, WorkersStayAFewItemsAheadOfTheTaker) {
    constexpr unsigned kJobs = 2;
    std::atomic<size_t> made = 0;
    size_t mostAhead = 0;
    RunInOrder(
        300, kJobs,
        [&](unsigned, size_t index) {
            ++made;
            return index;
        },
        [&](size_t index, size_t) {
            // A slow taker: the workers must wait for it rather than run through the whole list.
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            mostAhead = std::max(mostAhead, made.load() - index);
        });
    EXPECT_LE(mostAhead, kItemsAheadPerWorker * kJobs + kJobs + 1);
    EXPECT_GT(mostAhead, 1u);
}

}  // namespace
}  // namespace vc
