// QuimbroProbe.exe: reads the "Vantorel Quimbro" window of another process as a screen reader
// would and prints what it finds, one tab-separated record a line:
//   client  <width> <height>
//   control <id> <class> <left> <top> <width> <height> <enabled> <visible> <text>
//   line    <index> <text>
//   top     <index>
//   bar     <position> <low> <high>
//   point   <button text> <screen x> <screen y>
//   focus   <id of the focused control, 0 for none>
// Other modes, instead of the reading:
//   close     asks the window to close, as its title bar's close box does
//   ask-end   asks the window whether the session may end, as a log-off does, and prints its
//             answer (0 or 1), or "none" when it gives none within kAskLimit
//   end       prints "ready" once it may end the window's process, then ends it at once
//             (TerminateProcess) when a line comes on its input
//   watch     waits for the window, prints "watching", then asks it WM_NULL every kPace as the
//             system does, until a run has begun and ended (Exit disabled, then enabled again)
//             or the window is gone; prints "answers <count> <longest answer in ms>" of the
//             questions asked during the run
// Exits with 2 when the window is not there.
#include "platform/win32/Owners.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// A length or count as a size; an error (negative) as none.
size_t Size(LRESULT n) {
    return n > 0 ? static_cast<size_t>(n) : 0;
}

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3, '\0');  // the most UTF-8 one UTF-16 unit takes
    out.resize(
        Size(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                 static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
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

double Milliseconds() {
    LARGE_INTEGER frequency{}, now{};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 ||
        !QueryPerformanceCounter(&now))
        return 0;
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

int AskEnd(HWND form) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(form, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kAskLimit, &answer)) {
        Say("none");
        return 1;
    }
    Say(answer ? "1" : "0");
    return 0;
}

int End(HWND form) {
    DWORD id = 0;
    GetWindowThreadProcessId(form, &id);
    const quimbro::win32::KernelHandle process(id ? OpenProcess(PROCESS_TERMINATE, FALSE, id)
                                                  : nullptr);
    if (!process) return 1;
    Say("ready");
    char line[16] = {};
    if (std::fgets(line, sizeof line, stdin) == nullptr) return 1;
    return TerminateProcess(process.Get(), 1) ? 0 : 1;
}

HWND ExitButton(HWND form) {
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (TextOf(child) == "Exit") return child;
    return nullptr;
}

int Watch() {
    HWND form = nullptr;
    for (DWORD waited = 0; (form = FindWindowW(nullptr, kCaption)) == nullptr; waited += kPace) {
        if (waited > kShowLimit) return 2;
        Sleep(kPace);
    }
    Say("watching");
    HWND exit = nullptr;
    int count = 0;
    double longest = 0;
    bool running = false;
    while (IsWindow(form)) {
        // Made with the window, perhaps a moment after it.
        if (exit == nullptr) exit = ExitButton(form);
        // Reading whether Exit is enabled asks nothing of the window's thread.
        const bool enabled = exit != nullptr && IsWindowEnabled(exit);
        if (running && enabled) break;
        running = running || (exit != nullptr && !enabled);
        const double asked = Milliseconds();
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, kAskLimit, &answer);
        if (running) {
            longest = std::max(longest, Milliseconds() - asked);
            ++count;
        }
        Sleep(kPace);
    }
    std::printf("answers\t%d\t%.0f\n", count, longest);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"watch") return Watch();
    const HWND form = FindWindowW(nullptr, kCaption);
    if (form == nullptr) return 2;
    if (mode == L"close") return PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;
    if (mode == L"ask-end") return AskEnd(form);
    if (mode == L"end") return End(form);

    RECT client{};
    GetClientRect(form, &client);
    std::printf("client\t%ld\t%ld\n", client.right, client.bottom);

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
