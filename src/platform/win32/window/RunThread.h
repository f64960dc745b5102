#pragma once

#include <atomic>
#include <chrono>
#include <exception>
#include <future>
#include <optional>

#include "SessionHold.h"
#include "app/Form1.h"
#include "platform/win32/Owners.h"
#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// The run on a thread of its own, so that the window's thread only takes its messages. The
// window starts it and hears of its end; meanwhile the end of the Windows session waits.
class RunThread {
  public:
    // Posted to the window once the run has ended, however it ended.
    static constexpr UINT kEndedMessage = WM_APP + 2;

    RunThread(HWND window, Form1& form) : window_(window), form_(form) {}

    // The window's thread asks. A run whose thread has done its last step has ended, although
    // the window hears of it a moment later: Exit is enabled by then, and the session may end.
    bool Running() const {
        return running_ && ended_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    }
    // Form1's Start on the run's thread.
    void Start();
    // At kEndedMessage: the failure that escaped the run, or none.
    std::exception_ptr Ended();

    // The Windows session ends during the run: the run closes its report log at its next
    // operation on the window. Waits for that no longer than kEndWait, taking the messages
    // sent to the window meanwhile; the program is ended next, whatever the run was doing.
    static constexpr DWORD kEndWait = 1000;
    void EndSession();
    // On the run's thread, before each of its operations on the window: once the session
    // ends, closes the report log and goes no further.
    void Checkpoint();

  private:
    HWND window_;
    Form1& form_;
    bool running_ = false;
    std::optional<SessionHold> hold_;
    std::future<void> ended_;
    std::atomic<bool> ending_ = false;
    KernelHandle logClosed_;
};

}  // namespace quimbro::win32
