#pragma once

#include <atomic>
#include <exception>
#include <functional>

#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// The run's operations on the window (its lines, its bar, its buttons), each made on the
// window's own thread, in the order the run makes them: the run's thread sends the window a
// message carrying the operation and goes on once the window has made it.
class WindowCalls {
  public:
    static constexpr UINT kMessage = WM_APP + 1;

    // Makes `operation` on the thread of `window` and returns when it is made; what it threw
    // is thrown here. On the window's own thread it is made at once.
    void Make(HWND window, const std::function<void()>& operation);
    // The window's side of kMessage. A message the run did not send is left alone.
    void Answer(LPARAM call) noexcept;

  private:
    struct Call {
        const std::function<void()>& operation;
        std::exception_ptr failure;
        bool made = false;
    };
    // The one call the run's thread waits for.
    std::atomic<Call*> pending_ = nullptr;
};

// One operation of the run, made on the window's thread. Linked apart from the window, so a
// test build can bring one that fails.
void MakeRunOperation(const std::function<void()>& operation);

}  // namespace quimbro::win32
