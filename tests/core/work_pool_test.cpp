// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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

// With a share of cores, helpers run parts only on the cores the callers leave: while every core
// is held (the caller's own, and one by another worker), the caller runs each part itself; once
// the other worker lets its core go, helpers join in.
TEST(WorkPool, HelpersComputeOnlyOnTheCoresTheCallersLeave) {
    CoreShare cores(2);
    WorkPool pool(2, &cores);
    std::atomic<bool> otherWorkerBusy = true;
    std::jthread otherWorker;
    {
        std::atomic<bool> holding = false;
        otherWorker = std::jthread([&] {
            const CoreShare::Held core(&cores);
            holding = true;
            while (otherWorkerBusy) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        while (!holding) {
            std::this_thread::yield();
        }
    }
    const CoreShare::Held callersCore(&cores);
    const std::thread::id caller = std::this_thread::get_id();
    constexpr size_t kParts = 200;
    std::vector<std::thread::id> ranOn(kParts);
    std::atomic<int> running = 0;
    std::atomic<int> mostRunning = 0;
    std::atomic<bool> helperRan = false;
    pool.ForEachPart(kParts, [&](size_t part) {
        const int now = ++running;
        for (int most = mostRunning; now > most && !mostRunning.compare_exchange_weak(most, now);) {
        }
        ranOn[part] = std::this_thread::get_id();
        if (ranOn[part] != caller) {
            helperRan = true;
        }
        if (part == kParts / 2) {
            otherWorkerBusy = false;
        }
        // The caller's next part waits a while for a helper to take the free core, however busy
        // the machine.
        if (part == kParts / 2 + 1 && ranOn[part] == caller) {
            for (int wait = 0; wait < 1000 && !helperRan; ++wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        --running;
    });
    for (size_t part = 0; part <= kParts / 2; ++part) {
        EXPECT_EQ(ranOn[part], caller) << "part " << part << " ran on a helper while every core was held";
    }
    // Two cores: the caller's and the one the other worker left.
    EXPECT_LE(mostRunning.load(), 2);
    EXPECT_TRUE(helperRan) << "no helper joined once a core was free";
}

// A caller waiting for a helper's part lends its core: another worker computes meanwhile instead
// of waiting for a core nobody is using.
TEST(WorkPool, ACallerWaitingForHelpersLendsItsCore) {
    CoreShare cores(2);
    WorkPool pool(1, &cores);
    const CoreShare::Held callersCore(&cores);
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> helperStarted = false;
    std::atomic<bool> otherWorkerComputed = false;
    bool computedWhileHelperRan = false;
    std::jthread otherWorker;
    const auto waitFor = [](const std::atomic<bool>& flag) {
        for (int wait = 0; wait < 1000 && !flag; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return flag.load();
    };
    pool.ForEachPart(2, [&](size_t) {
        if (std::this_thread::get_id() == caller) {
            // Lets the helper take the other part, then starts a worker that needs a core.
            waitFor(helperStarted);
            otherWorker = std::jthread([&] {
                const CoreShare::Held core(&cores);
                otherWorkerComputed = true;
            });
        } else {
            helperStarted = true;
            computedWhileHelperRan = waitFor(otherWorkerComputed);
        }
    });
    EXPECT_TRUE(helperStarted) << "the helper took no part";
    EXPECT_TRUE(computedWhileHelperRan) << "the other worker got no core while the caller only waited";
}

}  // namespace
}  // namespace vc
