#pragma once

#include <exception>

namespace vc {

// Thrown where a long run stops because the user cancelled it. Whoever started the run drops what
// it made; it is no error, and nothing reports it.
class Cancelled final : public std::exception {
  public:
    const char* what() const noexcept override { return "cancelled"; }
};

}  // namespace vc
