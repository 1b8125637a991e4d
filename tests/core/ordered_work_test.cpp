// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/ordered_work.h"

#include "io/cancellation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
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

// Each item is announced before it is taken, and after the one before it, whatever the jobs; an
// item that fails is still announced, where a progress box names it while it is made.
TEST(OrderedWork, EachItemIsAnnouncedBeforeItIsWaitedFor) {
    for (unsigned jobs : {1u, 2u, 3u}) {
        std::vector<std::string> events;
        EXPECT_THROW(RunInOrder(
                         8, jobs,
                         [](unsigned, size_t index) {
                             if (index == 5) {
                                 throw std::runtime_error("item 5");
                             }
                             return index;
                         },
                         [&](size_t index, size_t) { events.push_back("take " + std::to_string(index)); },
                         [&](size_t index) { events.push_back("announce " + std::to_string(index)); }),
                     std::runtime_error);
        std::vector<std::string> expected;
        for (size_t i = 0; i < 5; ++i) {
            expected.insert(expected.end(), {"announce " + std::to_string(i), "take " + std::to_string(i)});
        }
        expected.push_back("announce 5");
        EXPECT_EQ(events, expected) << jobs << " jobs";
    }
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

// An item being made when the run ends early sees the run stopping, and may stop half way; a run
// that ends as it should raises nothing.
TEST(OrderedWork, AnItemBeingMadeSeesTheRunStop) {
    std::atomic<bool> sawStop = false;
    std::atomic<bool> watched = false;
    EXPECT_THROW(RunInOrder(
                     2, 2,
                     [&](unsigned, size_t index) {
                         if (index == 1) {
                             const std::atomic<bool>* stop = WatchedStop();
                             watched = stop != nullptr;
                             const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                             while (stop != nullptr && !*stop && std::chrono::steady_clock::now() < giveUp) {
                                 std::this_thread::yield();
                             }
                             sawStop = stop != nullptr && *stop;
                             StopIfRequested(stop);
                         }
                         return index;
                     },
                     [](size_t index, size_t) {
                         if (index == 0) {
                             throw Cancelled();
                         }
                     }),
                 Cancelled);
    EXPECT_TRUE(watched);
    EXPECT_TRUE(sawStop);
    EXPECT_EQ(WatchedStop(), nullptr);  // the taker's thread watches nothing

    std::atomic<int> raised = 0;
    RunInOrder(
        8, 2,
        [&](unsigned, size_t index) {
            raised += WatchedStop() != nullptr && *WatchedStop() ? 1 : 0;
            return index;
        },
        [](size_t, size_t) {});
    EXPECT_EQ(raised.load(), 0);
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
