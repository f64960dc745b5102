#pragma once

#include <memory>

#include "platform/Computer.h"

namespace quimbro::win32 {

// The real computer: every operation through the Win32 API itself.
class WindowsComputer {
  public:
    // Made on any thread; used by the run's thread only.
    WindowsComputer();
    ~WindowsComputer();
    WindowsComputer(const WindowsComputer&) = delete;
    WindowsComputer& operator=(const WindowsComputer&) = delete;

    Computer& computer();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace quimbro::win32
