// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace vc {

// What went wrong, so that a caller can tell a file it could not read from one whose contents are
// damaged, and both from a write that failed.
enum class ErrorKind {
    Read,         // a file cannot be opened or read
    Malformed,    // a file's contents cannot be decoded
    Write,        // a file cannot be created, written or replaced
    OutOfMemory,  // an input needs more memory than there is
    Limit,        // an input is more than the file being written can hold
};

// A failure of the platform or of a file's contents: unreadable or malformed input, a file that
// cannot be written. Validation refusals are never errors; they are reported as results.
class Error : public std::runtime_error {
  public:
    Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), m_kind(kind) {}

    ErrorKind Kind() const { return m_kind; }

  private:
    ErrorKind m_kind;
};

}  // namespace vc
