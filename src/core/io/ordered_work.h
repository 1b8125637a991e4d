// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "io/cancellation.h"

namespace vc {

// The worker threads a run uses unless told otherwise: one per core.
unsigned DefaultJobCount();

// How many items a run may hold finished but not yet taken, per worker: enough that a worker need
// not wait for the taker after every item, few enough that memory stays bounded by the items
// rather than the run.
constexpr size_t kItemsAheadPerWorker = 2;

// Announces nothing.
struct NoAnnouncement {
    void operator()(size_t) const {}
};

// Runs make(worker, index) for every index below count on up to jobs threads, and take(index,
// result) on the calling thread in index order, so the run's effects come in the same order as
// if it were made one item after the other. announce(index) is called on the calling thread just
// before item index is waited for (or, with one job, made): where a progress box names the item.
// With one job (or one item) nothing runs on another thread. An exception from make is thrown from
// the point where its index would be taken, after every earlier item is taken; no later item is
// taken. An exception from take ends the run the same way. Either way the workers have stopped
// before the exception leaves.
//
// make must touch only state of its own index and of its worker (worker is below jobs, and no
// two threads use the same worker number at once); take may touch anything.
template <typename Make, typename Take, typename Announce = NoAnnouncement>
void RunInOrder(size_t count, unsigned jobs, Make make, Take take, Announce announce = {}) {
    using Result = decltype(make(0u, size_t{0}));
    if (jobs <= 1 || count <= 1) {
        for (size_t index = 0; index < count; ++index) {
            announce(index);
            take(index, make(0u, index));
        }
        return;
    }
    struct Finished {
        std::optional<Result> Value;
        std::exception_ptr Failure;
        bool Ready = false;
    };
    const size_t window = kItemsAheadPerWorker * jobs;
    std::vector<Finished> finished(window);  // item i waits in finished[i % window]
    std::mutex mutex;
    std::condition_variable changed;
    size_t claimed = 0;  // items handed to workers
    size_t taken = 0;    // items taken in order
    bool stopping = false;
    std::atomic<bool> cutShort = false;  // the run ends early: items being made may stop half way

    const auto work = [&](unsigned worker) {
        const StopScope watching(&cutShort);
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stopping || claimed == count || claimed < taken + window; });
            if (stopping || claimed == count) {
                return;
            }
            const size_t index = claimed++;
            lock.unlock();
            Finished item;
            try {
                item.Value.emplace(make(worker, index));
            } catch (...) {
                item.Failure = std::current_exception();
            }
            item.Ready = true;
            lock.lock();
            finished[index % window] = std::move(item);
            changed.notify_all();
        }
    };
    // Stops the workers however the run ends; declared after the threads, so it is done before
    // they are joined.
    struct Stop {
        std::mutex& Mutex;
        std::condition_variable& Changed;
        bool& Stopping;
        std::atomic<bool>& CutShort;
        bool Done = false;
        ~Stop() {
            CutShort = !Done;
            {
                const std::lock_guard lock(Mutex);
                Stopping = true;
            }
            Changed.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    Stop stop{mutex, changed, stopping, cutShort};
    const unsigned threads = static_cast<unsigned>(std::min<size_t>(jobs, count));
    for (unsigned worker = 0; worker < threads; ++worker) {
        workers.emplace_back(work, worker);
    }
    for (size_t index = 0; index < count; ++index) {
        announce(index);
        Finished item;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return finished[index % window].Ready; });
            item = std::exchange(finished[index % window], Finished{});
            ++taken;
        }
        changed.notify_all();
        if (item.Failure) {
            std::rethrow_exception(item.Failure);
        }
        take(index, std::move(*item.Value));
    }
    stop.Done = true;
}

}  // namespace vc
