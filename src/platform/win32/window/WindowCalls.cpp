#include "WindowCalls.h"

#include "platform/PlatformError.h"

namespace quimbro::win32 {

namespace {

bool OnThreadOf(HWND window) {
    return ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}

}  // namespace

void WindowCalls::Make(HWND window, std::function<void()> operation) {
    if (OnThreadOf(window)) {
        operation();
        return;
    }
    Waited waited;
    Push({std::move(operation), &waited});
    // Sent, not posted: the window's thread makes everything queued before it returns.
    ::SendMessageW(window, kMessage, 0, 0);
    std::exception_ptr failure;
    {
        std::lock_guard held(lock_);
        if (!waited.made) {
            // The window is gone: nothing will make it, and `waited` ends here.
            std::erase_if(queued_, [&](const Queued& queued) { return queued.waited == &waited; });
            throw PlatformError("the window is gone");
        }
        failure = waited.failure;
    }
    if (failure) std::rethrow_exception(failure);
}

void WindowCalls::Queue(HWND window, std::function<void()> operation) {
    if (OnThreadOf(window)) {
        operation();
        return;
    }
    Push({std::move(operation), nullptr});
    Wake(window);
}

void WindowCalls::Push(Queued queued) {
    std::lock_guard held(lock_);
    queued_.push_back(std::move(queued));
}

void WindowCalls::Wake(HWND window) {
    {
        std::lock_guard held(lock_);
        if (woken_) return;
        woken_ = true;
    }
    if (::PostMessageW(window, kMessage, 0, 0)) return;
    std::lock_guard held(lock_);
    woken_ = false;
    throw PlatformError("the window is gone");
}

void WindowCalls::Answer() noexcept {
    for (;;) {
        Queued next;
        {
            std::lock_guard held(lock_);
            if (queued_.empty()) {
                woken_ = false;
                return;
            }
            next = std::move(queued_.front());
            queued_.pop_front();
        }
        std::exception_ptr failure;
        try {
            MakeRunOperation(next.operation);
        } catch (...) {
            failure = std::current_exception();
        }
        if (next.waited == nullptr) continue;
        std::lock_guard held(lock_);
        next.waited->failure = failure;
        next.waited->made = true;
    }
}

}  // namespace quimbro::win32
