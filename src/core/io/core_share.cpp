#include "io/core_share.h"

namespace vc {

CoreShare::Held::Held(CoreShare* share) : m_share(share) {
    if (m_share != nullptr) {
        std::unique_lock lock(m_share->m_mutex);
        m_share->m_freed.wait(lock, [&] { return m_share->m_free > 0; });
        --m_share->m_free;
    }
}

CoreShare::Held::~Held() {
    if (m_share != nullptr) {
        {
            const std::lock_guard lock(m_share->m_mutex);
            ++m_share->m_free;
        }
        m_share->m_freed.notify_one();
    }
}

}  // namespace vc
