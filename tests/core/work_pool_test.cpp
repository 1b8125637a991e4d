#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "io/work_pool.h"

namespace vc {
namespace {

// Every part runs once, whatever the pool and however many callers share it at once.
TEST(WorkPool, EveryPartOfEveryCallersJobRunsOnce) {
    for (const unsigned helpers : {0u, 1u, 3u}) {
        WorkPool pool(helpers);
        constexpr size_t kCallers = 4;
        const std::vector<size_t> counts = {0, 1, 7, 300};
        std::vector<std::vector<std::atomic<int>>> runs(kCallers);
        for (auto& caller : runs) {
            caller = std::vector<std::atomic<int>>(counts.size() * 300);
        }
        {
            std::vector<std::jthread> callers;
            for (size_t c = 0; c < kCallers; ++c) {
                callers.emplace_back([&, c] {
                    for (size_t job = 0; job < counts.size(); ++job) {
                        pool.ForEachPart(counts[job], [&](size_t part) { ++runs[c][job * 300 + part]; });
                    }
                });
            }
        }
        for (size_t c = 0; c < kCallers; ++c) {
            for (size_t job = 0; job < counts.size(); ++job) {
                for (size_t part = 0; part < 300; ++part) {
                    EXPECT_EQ(runs[c][job * 300 + part].load(), part < counts[job] ? 1 : 0)
                        << helpers << " helpers, caller " << c << ", job " << job << ", part " << part;
                }
            }
        }
    }
}

// A failing part ends the job with its exception once no part is running any more.
TEST(WorkPool, AFailingPartIsThrownToTheCallerAfterThePartsRunning) {
    for (const unsigned helpers : {0u, 2u}) {
        WorkPool pool(helpers);
        std::atomic<int> running = 0;
        std::atomic<int> runningAtThrow = -1;
        try {
            pool.ForEachPart(50, [&](size_t part) {
                ++running;
                std::this_thread::yield();
                --running;
                if (part == 3) {
                    throw std::runtime_error("part 3");
                }
            });
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& error) {
            runningAtThrow = running.load();
            EXPECT_STREQ(error.what(), "part 3");
        }
        EXPECT_EQ(runningAtThrow.load(), 0) << helpers << " helpers";
        // The pool goes on serving jobs.
        std::atomic<int> count = 0;
        pool.ForEachPart(10, [&](size_t) { ++count; });
        EXPECT_EQ(count.load(), 10);
    }
}

}  // namespace
}  // namespace vc
