// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <exception>

namespace vc {

// Thrown where a long run stops because the user cancelled it. Whoever started the run drops what
// it made; it is no error, and nothing reports it.
class Cancelled final : public std::exception {
  public:
    const char* what() const noexcept override { return "cancelled"; }
};

// Lets the long loops deep inside a run's work (DXT compression) see that the run is being
// stopped, without every function on the way passing the news on: a thread that works for a run
// watches the run's flag while the scope lives.
class StopScope {
  public:
    explicit StopScope(const std::atomic<bool>* stop);
    StopScope(const StopScope&) = delete;
    StopScope& operator=(const StopScope&) = delete;
    ~StopScope();

  private:
    const std::atomic<bool>* m_outer;
};

// The flag of the run the calling thread works for, to be watched by the threads it hands parts
// of its work to; null outside any run.
const std::atomic<bool>* WatchedStop();

// Throws Cancelled once the flag, if any, is raised.
inline void StopIfRequested(const std::atomic<bool>* stop) {
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
        throw Cancelled();
    }
}

}  // namespace vc
