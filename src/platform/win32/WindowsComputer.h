#pragma once

#include <memory>

#include "platform/Computer.h"
#include "platform/win32/CommandRunner.h"

namespace quimbro::win32 {

// The real computer: every operation through the Win32 API itself.
class WindowsComputer {
  public:
    // `whileWaiting` keeps the window answering while the run waits for the worker or a
    // command; `turn` gives it its turn, at its own pace, during long file-system operations.
    explicit WindowsComputer(WaitHook whileWaiting = {}, WaitHook turn = {});
    ~WindowsComputer();
    WindowsComputer(const WindowsComputer&) = delete;
    WindowsComputer& operator=(const WindowsComputer&) = delete;

    Computer& computer();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace quimbro::win32
