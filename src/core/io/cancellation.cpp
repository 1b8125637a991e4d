// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/cancellation.h"

namespace vc {

namespace {

thread_local const std::atomic<bool>* tWatched = nullptr;

}  // namespace

StopScope::StopScope(const std::atomic<bool>* stop) : m_outer(tWatched) {
    tWatched = stop;
}

StopScope::~StopScope() {
    tWatched = m_outer;
}

const std::atomic<bool>* WatchedStop() {
    return tWatched;
}

}  // namespace vc
