// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "io/core_share.h"

namespace vc {

// Threads that help with the parts of a job. The caller of ForEachPart works on its job's parts
// too, with whichever pool threads are free, so a job never waits for a busy pool; a build's
// workers share one pool instead of each starting threads of its own.
class WorkPool {
  public:
    // Starts up to helpers threads; those the system refuses are done without. With a share, a
    // helper runs a part only on a core of the share, which each caller holds while it computes
    // and lends while it waits for helpers, so that helpers and callers together never outnumber
    // its cores.
    explicit WorkPool(unsigned helpers, CoreShare* share = nullptr);
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;
    ~WorkPool();

    // Runs part(i) for every i below count and returns when all have ended. An exception from a
    // part is thrown here once every part has ended; the parts not yet begun are skipped.
    void ForEachPart(size_t count, const std::function<void(size_t)>& part);

    unsigned Helpers() const { return static_cast<unsigned>(m_threads.size()); }

  private:
    struct Job;
    void Help();
    // Runs the job's parts until none is left to begin, each on a core of share (if any); true
    // when this ended its last one.
    static bool Work(Job& job, CoreShare* share);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<Job>> m_jobs;  // jobs with parts not yet begun
    bool m_stopping = false;
    CoreShare* const m_share;
    std::vector<std::jthread> m_threads;
};

}  // namespace vc
