#pragma once

#include <stdexcept>
#include <string>

namespace quimbro {

// Raised by every operation that reaches the computer and cannot do what was asked.
// The run never shows or writes its text; it only abandons the statement that raised it.
class PlatformError : public std::runtime_error {
  public:
    // Why, where the caller acts on it.
    enum class Reason {
        Other,
        // A name deleted but still held by another program: free once that program lets go.
        Held,
    };

    explicit PlatformError(const std::string& what, Reason reason = Reason::Other)
        : std::runtime_error(what), reason_(reason) {}

    Reason Why() const { return reason_; }

  private:
    Reason reason_;
};

}  // namespace quimbro
