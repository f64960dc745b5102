// BenchBareWindow.exe: the least a one-window program does, the baseline for Quimbro's launch
// and memory: registers a class, creates a window with a list box and two buttons, shows it
// and runs its message loop until the window is closed. Its manifest (BareWindow.rc) asks for
// the version 6 common controls, as every program with themed controls does.
#include "platform/win32/Win32.h"

namespace {

constexpr wchar_t kClassName[] = L"BenchBareWindow";

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) return 1;
    const HWND window = CreateWindowExW(
        0, kClassName, L"Bare window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
        CW_USEDEFAULT, 450, 330, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    const struct {
        const wchar_t* className;
        const wchar_t* text;
        DWORD style;
        RECT box;
    } children[] = {
        {L"ListBox", L"", WS_VSCROLL | WS_BORDER, {150, 30, 420, 190}},
        {L"Button", L"Start", BS_PUSHBUTTON, {250, 260, 330, 285}},
        {L"Button", L"Exit", BS_PUSHBUTTON, {340, 260, 420, 285}},
    };
    for (const auto& child : children)
        if (CreateWindowExW(0, child.className, child.text, WS_CHILD | WS_VISIBLE | child.style,
                            child.box.left, child.box.top, child.box.right - child.box.left,
                            child.box.bottom - child.box.top, window, nullptr, instance,
                            nullptr) == nullptr)
            return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
