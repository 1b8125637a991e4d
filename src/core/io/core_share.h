#pragma once

#include <semaphore>

namespace vc {

// The cores a run may keep busy at once, shared by its workers and the pool threads that help
// them: each holds one while it computes, so that a run never computes on more threads than it
// was given jobs, yet a core a worker leaves (its items done, or waiting its turn) goes to the
// helpers.
class CoreShare {
  public:
    explicit CoreShare(unsigned cores) : m_free(static_cast<std::ptrdiff_t>(cores)) {}
    CoreShare(const CoreShare&) = delete;
    CoreShare& operator=(const CoreShare&) = delete;

    // One core for as long as it lives; none when there is no share.
    class Held {
      public:
        explicit Held(CoreShare* share) : m_share(share) {
            if (m_share != nullptr) {
                m_share->m_free.acquire();
            }
        }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;
        ~Held() {
            if (m_share != nullptr) {
                m_share->m_free.release();
            }
        }

      private:
        CoreShare* m_share;
    };

  private:
    std::counting_semaphore<> m_free;
};

}  // namespace vc
