// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <mutex>

namespace vc {

// The cores a run may keep busy at once, shared by its workers and the pool threads that help
// them: each holds one while it computes, so that a run never computes on more threads than it
// was given jobs, yet a core a worker leaves (its items done, or waiting its turn) goes to the
// helpers. (A mutex and a condition rather than std::counting_semaphore, whose MinGW build can
// miss a release and leave a waiter asleep.)
class CoreShare {
  public:
    explicit CoreShare(unsigned cores) : m_free(cores) {}
    CoreShare(const CoreShare&) = delete;
    CoreShare& operator=(const CoreShare&) = delete;

    // One core for as long as it lives; none when there is no share.
    class Held {
      public:
        explicit Held(CoreShare* share);
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;
        ~Held();

      private:
        CoreShare* m_share;
    };

    // A held core given back for as long as this lives (its holder waits for others), then taken
    // again; nothing when there is no share.
    class Lent {
      public:
        explicit Lent(CoreShare* share);
        Lent(const Lent&) = delete;
        Lent& operator=(const Lent&) = delete;
        ~Lent();

      private:
        CoreShare* m_share;
    };

  private:
    void Take();
    void Give();

    std::mutex m_mutex;
    std::condition_variable m_freed;
    unsigned m_free;
};

}  // namespace vc
