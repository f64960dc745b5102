#include "OneQuimbro.h"

#include "MainWindow.h"

namespace quimbro::win32 {

namespace {
constexpr wchar_t kMutexName[] = L"Local\\Vantorel.Quimbro";
constexpr DWORD kFindPace = 50;

void AskToFront(HWND first) {
    DWORD process = 0;
    if (::GetWindowThreadProcessId(first, &process) != 0) ::AllowSetForegroundWindow(process);
    ::PostMessageW(first, ToFrontMessage(), 0, 0);
}
}  // namespace

OneQuimbro::OneQuimbro() : mutex_(::CreateMutexW(nullptr, TRUE, kMutexName)) {
    // Without the mutex nothing tells whether another Quimbro runs: this one runs.
    if (!mutex_ || ::GetLastError() != ERROR_ALREADY_EXISTS) return;
    for (DWORD waited = 0; waited < kFindLimit; waited += kFindPace) {
        // The first one has ended: this one is the session's Quimbro now.
        const DWORD taken = ::WaitForSingleObject(mutex_.Get(), 0);
        if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) return;
        if (const HWND first = ::FindWindowW(kFormClassName, nullptr)) {
            AskToFront(first);
            first_ = false;
            return;
        }
        ::Sleep(kFindPace);
    }
    // A first start that shows no window in all that time is not answering: no second one.
    first_ = false;
}

}  // namespace quimbro::win32
