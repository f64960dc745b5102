#pragma once

#include <stdexcept>
#include <string>

namespace quimbro {

// Raised by every operation that reaches the computer and cannot do what was asked.
// The run never shows or writes its text; it only abandons the statement that raised it.
class PlatformError : public std::runtime_error {
  public:
    explicit PlatformError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace quimbro
