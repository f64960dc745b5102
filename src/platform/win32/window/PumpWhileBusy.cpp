#include "PumpWhileBusy.h"

#include "platform/win32/Win32.h"

namespace quimbro::win32 {

namespace {

bool IsNonClientInput(UINT message) {
    return (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
           message == WM_NCMOUSEHOVER || message == WM_NCMOUSELEAVE;
}

// Input to the window's frame (its caption and buttons) moves, minimises and restores it; the
// close box does nothing while Exit is disabled. Input to its controls, their scroll bars too,
// is dropped.
bool IsDroppedInput(const MSG& message) {
    const UINT id = message.message;
    if (IsNonClientInput(id)) return (::GetWindowLongPtrW(message.hwnd, GWL_STYLE) & WS_CHILD) != 0;
    return (id >= WM_KEYFIRST && id <= WM_KEYLAST) || (id >= WM_MOUSEFIRST && id <= WM_MOUSELAST) ||
           id == WM_MOUSEHOVER || id == WM_MOUSELEAVE;
}

}  // namespace

void PumpWhileBusy() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (IsDroppedInput(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace quimbro::win32
