// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/native_file.h"

#include <utility>

namespace vc {

NativeFile::NativeFile() : m_handle(NoHandle()) {}

NativeFile::NativeFile(NativeFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, NoHandle())), m_errorName(std::move(other.m_errorName)) {}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
    if (this != &other) {
        if (IsOpen()) {
            Release(m_handle);
        }
        m_handle = std::exchange(other.m_handle, NoHandle());
        m_errorName = std::move(other.m_errorName);
    }
    return *this;
}

NativeFile::~NativeFile() {
    if (IsOpen()) {
        Release(m_handle);
    }
}

}  // namespace vc
