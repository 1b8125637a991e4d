#pragma once

#include <stdexcept>
#include <string>

namespace vc {

// A failure of the platform or of a file's contents: unreadable or malformed input, a file that
// cannot be written. Validation refusals are never errors; they are reported as results.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vc
