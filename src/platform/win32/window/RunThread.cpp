#include "RunThread.h"

#include <thread>

#include "platform/PlatformError.h"

namespace quimbro::win32 {

void RunThread::Start() {
    logClosed_ = KernelHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!logClosed_) throw PlatformError("no event for the session's end");
    std::promise<void> ended;
    ended_ = ended.get_future();
    hold_.emplace(window_);
    running_ = true;
    try {
        // Detached: the window never waits for the run; it hears of its end.
        std::thread([&form = form_, window = window_, ended = std::move(ended)]() mutable {
            try {
                form.Start_Click();
                ended.set_value();
            } catch (...) {
                ended.set_exception(std::current_exception());
            }
            // Once Exit is enabled again the window may be gone: nothing of it is used here.
            ::PostMessageW(window, kEndedMessage, 0, 0);
        }).detach();
    } catch (...) {
        running_ = false;
        hold_.reset();
        throw;
    }
}

std::exception_ptr RunThread::Ended() {
    if (!running_) return nullptr;
    running_ = false;
    hold_.reset();
    try {
        // Ready before the message was posted.
        ended_.get();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

void RunThread::EndSession() {
    ending_ = true;
    const HANDLE closed = logClosed_.Get();
    const ULONGLONG until = ::GetTickCount64() + kEndWait;
    for (ULONGLONG now = ::GetTickCount64(); now < until; now = ::GetTickCount64()) {
        const DWORD woke = ::MsgWaitForMultipleObjects(
            1, &closed, FALSE, static_cast<DWORD>(until - now), QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + 1) return;
        // Takes the messages sent meanwhile, the run's last operation among them.
        MSG sent{};
        ::PeekMessageW(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void RunThread::Checkpoint() {
    if (!ending_) return;
    form_.EndSession();
    ::SetEvent(logClosed_.Get());
    // The program ends from the window's thread.
    for (;;) ::Sleep(INFINITE);
}

}  // namespace quimbro::win32
