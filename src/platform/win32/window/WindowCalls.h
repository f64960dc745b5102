#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <mutex>

#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// The run's operations on the window (its lines, its bar, its buttons), each made on the
// window's own thread, in the order the run makes them. The run's thread queues each operation
// and wakes the window, which makes what is queued in turn. The run waits only where it must
// know the outcome before it goes on (Make); the rest (Queue) costs it no trip to the window's
// thread, which under Wine is a round through the server for each.
class WindowCalls {
  public:
    static constexpr UINT kMessage = WM_APP + 1;

    // Makes `operation` on the thread of `window` after what was queued before it, and returns
    // when it is made; what it threw is thrown here. On the window's own thread it is made at
    // once.
    void Make(HWND window, std::function<void()> operation);
    // Queues `operation` for the thread of `window` and returns at once. An operation that
    // fails there costs only itself, as the run's error rule would have its statement cost it:
    // thrown at a later statement, it would cost that one instead, and at the run's last one
    // (Exit enabled) the whole run.
    void Queue(HWND window, std::function<void()> operation);
    // The window's side of kMessage: makes what is queued, in order. The message carries
    // nothing, so the same message from another program only makes the run's operations sooner.
    void Answer() noexcept;

  private:
    // What the run waits for in Make; written under the lock.
    struct Waited {
        std::exception_ptr failure;
        bool made = false;
    };
    struct Queued {
        std::function<void()> operation;
        Waited* waited = nullptr;
    };
    void Push(Queued queued);
    void Wake(HWND window);

    std::mutex lock_;
    std::deque<Queued> queued_;
    // A kMessage posted and not yet answered: one wakes the window for a whole queue.
    bool woken_ = false;
};

// One operation of the run, made on the window's thread. Linked apart from the window, so a
// test build can bring one that fails.
void MakeRunOperation(const std::function<void()>& operation);

}  // namespace quimbro::win32
