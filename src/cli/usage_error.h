// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace vc::cli {

// Arguments a command cannot use; the run ends with the message, a hint to --help and status 2.
class UsageError : public std::runtime_error {
  public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vc::cli
