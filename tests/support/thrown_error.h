// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "io/error.h"

namespace vc::test {

// What a step that should fail threw: the message and kind of its Error; "no error" and no kind
// when it threw none.
struct Thrown {
    std::string Message = "no error";
    std::optional<ErrorKind> Kind;
};

template <typename Step>
Thrown ThrownBy(Step&& step) {
    try {
        step();
    } catch (const Error& error) {
        return {error.what(), error.Kind()};
    }
    return {};
}

template <typename Step>
std::string ErrorText(Step&& step) {
    return ThrownBy(step).Message;
}

}  // namespace vc::test
