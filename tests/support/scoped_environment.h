// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#ifdef _WIN32
#include "io/wide_text.h"
#endif

namespace vc::test {

// Sets an environment variable (or removes it, for nullptr) for one scope and restores it after.
// Values are UTF-8.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : m_name(Native(name)) {
        if (const NativeChar* old = Get(m_name.c_str())) {
            m_old = old;
        }
        Set(value != nullptr ? std::optional(Native(value)) : std::nullopt);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { Set(m_old); }

  private:
    // Windows keeps its environment in UTF-16; the narrow calls would take the ANSI code page.
#ifdef _WIN32
    using NativeChar = wchar_t;
    static std::wstring Native(const char* text) {
        return WideOf(text);
    }
    static const wchar_t* Get(const wchar_t* name) {
        return ::_wgetenv(name);
    }
    // The C runtime passes the change on to the process's own environment; an empty value removes it.
    void Set(const std::optional<std::wstring>& value) {
        ::_wputenv_s(m_name.c_str(), value ? value->c_str() : L"");
    }
#else
    using NativeChar = char;
    static std::string Native(const char* text) {
        return text;
    }
    static const char* Get(const char* name) {
        return std::getenv(name);
    }
    void Set(const std::optional<std::string>& value) {
        value ? ::setenv(m_name.c_str(), value->c_str(), 1) : ::unsetenv(m_name.c_str());
    }
#endif

    std::basic_string<NativeChar> m_name;
    std::optional<std::basic_string<NativeChar>> m_old;
};

}  // namespace vc::test
