#pragma once

#include "platform/win32/Win32.h"

namespace quimbro::win32 {

// The system's calls that hold back the end of the Windows session, replaceable by a test.
struct SessionEndCalls {
    BOOL(WINAPI* createReason)(HWND, LPCWSTR);
    BOOL(WINAPI* destroyReason)(HWND);
};
SessionEndCalls& SessionEndCallsInUse();

// While a run lasts, the end of the Windows session waits for it: the window answers
// WM_QUERYENDSESSION with FALSE, and Windows shows why beside the window's name. Made when the
// run begins and gone when it ends, however it ends.
class SessionHold {
  public:
    static constexpr wchar_t kReason[] =
        L"Quimbro is gathering information for Vantorel Technical Support.";

    explicit SessionHold(HWND window);
    ~SessionHold();
    SessionHold(const SessionHold&) = delete;
    SessionHold& operator=(const SessionHold&) = delete;

  private:
    HWND window_;
};

}  // namespace quimbro::win32
