// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/work_pool.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

namespace vc {

struct WorkPool::Job {
    Job(size_t count, const std::function<void(size_t)>& part) : Count(count), Part(part) {}

    const size_t Count;
    const std::function<void(size_t)>& Part;
    std::mutex Mutex;
    std::condition_variable AllEnded;
    size_t Next = 0;   // the first part not yet begun
    size_t Ended = 0;  // parts ended, well or not
    std::exception_ptr Failure;
};

WorkPool::WorkPool(unsigned helpers, CoreShare* share) : m_share(share) {
    for (unsigned i = 0; i < helpers; ++i) {
        try {
            m_threads.emplace_back([this] { Help(); });
        } catch (const std::system_error&) {
            break;  // the parts run on the threads there are
        }
    }
}

WorkPool::~WorkPool() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
}

bool WorkPool::Work(Job& job, CoreShare* share) {
    bool endedLast = false;
    for (;;) {
        const CoreShare::Held core(share);
        std::unique_lock lock(job.Mutex);
        if (job.Next == job.Count) {
            return endedLast;
        }
        const size_t index = job.Next++;
        const bool skip = job.Failure != nullptr;
        lock.unlock();
        std::exception_ptr failure;
        if (!skip) {
            try {
                job.Part(index);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        lock.lock();
        if (failure && !job.Failure) {
            job.Failure = failure;
        }
        endedLast = ++job.Ended == job.Count;
    }
}

void WorkPool::Help() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping) {
                return;
            }
            job = m_jobs.front();
            // Every part of the front job is claimed once one helper is on it: it leaves the
            // queue when its parts run out, which the helpers see below.
        }
        if (Work(*job, m_share)) {
            job->AllEnded.notify_all();
        }
        const std::lock_guard lock(m_mutex);
        if (!m_jobs.empty() && m_jobs.front() == job) {
            m_jobs.pop_front();
        }
    }
}

void WorkPool::ForEachPart(size_t count, const std::function<void(size_t)>& part) {
    if (count == 0) {
        return;
    }
    const auto job = std::make_shared<Job>(count, part);
    if (count > 1 && !m_threads.empty()) {
        {
            const std::lock_guard lock(m_mutex);
            m_jobs.push_back(job);
        }
        m_changed.notify_all();
    }
    Work(*job, nullptr);  // the caller computes on the core it has
    bool helpersBusy = false;
    {
        const std::lock_guard lock(job->Mutex);
        helpersBusy = job->Ended != job->Count;
    }
    std::exception_ptr failure;
    {
        // While helpers end their parts, the caller's core serves others; it is taken back once
        // the job's lock is let go (declared after, the lock goes first).
        const CoreShare::Lent waiting(helpersBusy ? m_share : nullptr);
        std::unique_lock lock(job->Mutex);
        job->AllEnded.wait(lock, [&] { return job->Ended == job->Count; });
        // Taken out so that a helper still holding the job never ends the exception's life
        // while the caller handles it.
        failure = std::exchange(job->Failure, nullptr);
    }
    {
        const std::lock_guard lock(m_mutex);
        std::erase(m_jobs, job);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace vc
