// QuimbroProbe.exe: reads the "Vantorel Quimbro" window of another process as a screen reader
// would and prints what it finds, one tab-separated record a line:
//   client  <width> <height>
//   control <id> <class> <left> <top> <width> <height> <enabled> <visible> <text>
//   line    <index> <text>
//   top     <index>
//   bar     <position> <low> <high>
//   point   <button text> <screen x> <screen y>
//   focus   <id of the focused control, 0 for none>
//   windows <how many windows of the session are captioned so>
// "QuimbroProbe close" instead asks the window to close, as its title bar's close box does;
// "QuimbroProbe end-session" tells it the Windows session ends, as a log-off that goes on does.
// "QuimbroProbe press <button>" clicks the button as a person would: the mouse moved to the
// button's centre, the window brought to the front, the button pressed there with SendInput.
// Fails when another window covers the button.
// "QuimbroProbe watch" waits for the window, asks it WM_NULL every kPace through a run (Exit
// disabled) as the system does, then prints "answers <questions> <longest answer in ms>
// <during> <after>", during and after its answers to a session end.
// Exits with 2 when the window is not there.
#include "platform/win32/WideText.h"
#include "platform/win32/Win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using quimbro::win32::Utf8;

// A length or count as a size; an error (negative) as none.
size_t Size(LRESULT n) {
    return n > 0 ? static_cast<size_t>(n) : 0;
}

std::string TextOf(HWND window) {
    std::wstring text(Size(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(Size(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Utf8(text);
}

int Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    return static_cast<int>(SendMessageW(window, message, w, l));
}

constexpr wchar_t kCaption[] = L"Vantorel Quimbro";
constexpr UINT kAskLimit = 30'000;
constexpr DWORD kPace = 100;
// How long "watch" waits for the window to show.
constexpr DWORD kShowLimit = 120'000;

// The answer, or 2 for none within kAskLimit.
DWORD_PTR Ask(HWND form, UINT message, WPARAM w = 0) {
    DWORD_PTR answer = 2;
    SendMessageTimeoutW(form, message, w, 0, SMTO_NORMAL, kAskLimit, &answer);
    return answer;
}

int Watch() {
    HWND form = nullptr;
    for (DWORD waited = 0; (form = FindWindowW(nullptr, kCaption)) == nullptr; waited += kPace) {
        if (waited > kShowLimit) return 2;
        Sleep(kPace);
    }
    int count = 0;
    ULONGLONG longest = 0;
    DWORD_PTR during = 2;
    for (bool running = false; IsWindow(form); Sleep(kPace)) {
        // Reading whether Exit is enabled asks nothing of the window's thread.
        const HWND exit = FindWindowExW(form, nullptr, L"Button", L"Exit");
        if (running && IsWindowEnabled(exit)) break;
        if (!(running = exit != nullptr && !IsWindowEnabled(exit))) continue;
        const ULONGLONG asked = GetTickCount64();
        // The run's first question is whether the session may end, as a log-off asks.
        const DWORD_PTR answer = Ask(form, count == 0 ? WM_QUERYENDSESSION : WM_NULL);
        if (count++ == 0) during = answer;
        longest = std::max(longest, GetTickCount64() - asked);
    }
    std::printf("answers\t%d\t%llu\t%d\t%d\n", count, longest, static_cast<int>(during),
                static_cast<int>(Ask(form, WM_QUERYENDSESSION)));
    return 0;
}

// How long "press" waits for the window to come to the front.
constexpr DWORD kFrontLimit = 1'000;

int Press(HWND form, const std::wstring& text) {
    const HWND button = FindWindowExW(form, nullptr, L"Button", text.c_str());
    RECT box{};
    if (button == nullptr || !GetWindowRect(button, &box)) return 2;
    const POINT centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    // A move by nothing gives the probe the last input, which lets it bring the window to the
    // front; Windows may refuse still, and the click then brings it there, as a person's does.
    INPUT mouse[2] = {};
    mouse[0].type = mouse[1].type = INPUT_MOUSE;
    mouse[0].mi.dwFlags = MOUSEEVENTF_MOVE;
    if (!SetCursorPos(centre.x, centre.y) || SendInput(1, mouse, sizeof mouse[0]) != 1) return 1;
    SetForegroundWindow(form);
    for (DWORD waited = 0; GetForegroundWindow() != form && waited < kFrontLimit; waited += kPace)
        Sleep(kPace);
    // A disabled button lets the point through to its window, which must be Quimbro's.
    if (GetAncestor(WindowFromPoint(centre), GA_ROOT) != form) return 1;
    mouse[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    mouse[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, mouse, sizeof mouse[0]) == 2 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"watch") return Watch();
    const HWND form = FindWindowW(nullptr, kCaption);
    if (form == nullptr) return 2;
    if (mode == L"close") return PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;
    // A log-off that goes on whatever the window answered; the window's process ends meanwhile.
    if (mode == L"end-session") return Ask(form, WM_ENDSESSION, TRUE) == 2 ? 0 : 1;
    if (mode == L"press" && argc > 2) return Press(form, argv[2]);

    RECT client{};
    GetClientRect(form, &client);
    std::printf("client\t%ld\t%ld\n", client.right, client.bottom);
    int windows = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, kCaption)) != nullptr;)
        ++windows;
    std::printf("windows\t%d\n", windows);

    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[256] = {};
        GetClassNameW(child, kind, 256);
        RECT screen{};
        GetWindowRect(child, &screen);
        RECT box = screen;
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&box), 2);
        const std::string text = TextOf(child);
        std::printf("control\t%d\t%s\t%ld\t%ld\t%ld\t%ld\t%d\t%d\t%s\n", GetDlgCtrlID(child),
                    Utf8(kind).c_str(), box.left, box.top, box.right - box.left,
                    box.bottom - box.top, IsWindowEnabled(child) ? 1 : 0,
                    IsWindowVisible(child) ? 1 : 0, text.c_str());
        if (_wcsicmp(kind, L"ListBox") == 0) {
            for (int i = 0; i < Send(child, LB_GETCOUNT); ++i) {
                std::wstring line(Size(Send(child, LB_GETTEXTLEN, i)) + 1, L'\0');
                line.resize(
                    Size(Send(child, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()))));
                std::printf("line\t%d\t%s\n", i, Utf8(line).c_str());
            }
            std::printf("top\t%d\n", Send(child, LB_GETTOPINDEX));
        } else if (_wcsicmp(kind, PROGRESS_CLASSW) == 0) {
            std::printf("bar\t%d\t%d\t%d\n", Send(child, PBM_GETPOS),
                        Send(child, PBM_GETRANGE, TRUE), Send(child, PBM_GETRANGE, FALSE));
        } else if (_wcsicmp(kind, L"Button") == 0) {
            std::printf("point\t%s\t%ld\t%ld\n", text.c_str(), (screen.left + screen.right) / 2,
                        (screen.top + screen.bottom) / 2);
        }
    }

    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    const bool known = GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &thread);
    std::printf("focus\t%d\n", known && thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : 0);
    return 0;
}
