#include "WindowCalls.h"

#include "platform/PlatformError.h"

namespace quimbro::win32 {

void WindowCalls::Make(HWND window, const std::function<void()>& operation) {
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
        operation();
        return;
    }
    Call call{operation, nullptr, false};
    pending_ = &call;
    ::SendMessageW(window, kMessage, 0, reinterpret_cast<LPARAM>(&call));
    pending_ = nullptr;
    if (!call.made) throw PlatformError("the window is gone");
    if (call.failure) std::rethrow_exception(call.failure);
}

void WindowCalls::Answer(LPARAM call) noexcept {
    // Another program may send the same message; only the run's own call is made.
    Call* const pending = pending_;
    if (pending == nullptr || reinterpret_cast<LPARAM>(pending) != call) return;
    pending->made = true;
    try {
        MakeRunOperation(pending->operation);
    } catch (...) {
        pending->failure = std::current_exception();
    }
}

}  // namespace quimbro::win32
