// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/core_share.h"

namespace vc {

void CoreShare::Take() {
    std::unique_lock lock(m_mutex);
    m_freed.wait(lock, [&] { return m_free > 0; });
    --m_free;
}

void CoreShare::Give() {
    {
        const std::lock_guard lock(m_mutex);
        ++m_free;
    }
    m_freed.notify_one();
}

CoreShare::Held::Held(CoreShare* share) : m_share(share) {
    if (m_share != nullptr) {
        m_share->Take();
    }
}

CoreShare::Held::~Held() {
    if (m_share != nullptr) {
        m_share->Give();
    }
}

CoreShare::Lent::Lent(CoreShare* share) : m_share(share) {
    if (m_share != nullptr) {
        m_share->Give();
    }
}

CoreShare::Lent::~Lent() {
    if (m_share != nullptr) {
        m_share->Take();
    }
}

}  // namespace vc
