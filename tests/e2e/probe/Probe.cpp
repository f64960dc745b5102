// QuimbroProbe.exe: reads the "Vantorel Quimbro" window of another process as a screen reader
// would and prints what it finds, one tab-separated record a line:
//   client  <width> <height> <screen left> <screen top>
//   control <id> <class> <left> <top> <width> <height> <enabled> <visible> <text>
//   line    <index> <text>
//   top     <index>
//   bar     <position> <low> <high>
//   focus   <id of the focused control, 0 for none>
//   point   <button text> <screen x> <screen y>
// "QuimbroProbe close" instead asks the window to close, as its title bar's close box does.
// Exits with 2 when the window is not there.
#include "platform/win32/Win32.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), needed, nullptr, nullptr);
    return out;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

void PrintList(HWND list) {
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        std::printf("line\t%d\t%s\n", static_cast<int>(i), Utf8(text).c_str());
    }
    std::printf("top\t%d\n", static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)));
}

void PrintBar(HWND bar) {
    std::printf("bar\t%d\t%d\t%d\n", static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)),
                static_cast<int>(SendMessageW(bar, PBM_GETRANGE, TRUE, 0)),
                static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0)));
}

}  // namespace

int main(int argc, char** argv) {
    const HWND form = FindWindowW(nullptr, L"Vantorel Quimbro");
    if (form == nullptr) return 2;
    if (argc > 1 && std::strcmp(argv[1], "close") == 0)
        return PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;

    RECT client{};
    GetClientRect(form, &client);
    POINT origin{0, 0};
    ClientToScreen(form, &origin);
    std::printf("client\t%ld\t%ld\t%ld\t%ld\n", client.right, client.bottom, origin.x, origin.y);

    for (const HWND child : Children(form)) {
        RECT box{};
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&box), 2);
        const std::wstring className = ClassOf(child);
        const std::string text = Utf8(TextOf(child));
        std::printf("control\t%d\t%s\t%ld\t%ld\t%ld\t%ld\t%d\t%d\t%s\n", GetDlgCtrlID(child),
                    Utf8(className).c_str(), box.left, box.top, box.right - box.left,
                    box.bottom - box.top, IsWindowEnabled(child) ? 1 : 0,
                    IsWindowVisible(child) ? 1 : 0, text.c_str());
        if (_wcsicmp(className.c_str(), L"ListBox") == 0) PrintList(child);
        if (_wcsicmp(className.c_str(), PROGRESS_CLASSW) == 0) PrintBar(child);
        if (_wcsicmp(className.c_str(), L"Button") == 0) {
            RECT screen{};
            GetWindowRect(child, &screen);
            std::printf("point\t%s\t%ld\t%ld\n", text.c_str(), (screen.left + screen.right) / 2,
                        (screen.top + screen.bottom) / 2);
        }
    }

    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    const DWORD threadId = GetWindowThreadProcessId(form, nullptr);
    const bool known = GetGUIThreadInfo(threadId, &thread) != FALSE;
    std::printf("focus\t%d\n",
                known && thread.hwndFocus != nullptr ? GetDlgCtrlID(thread.hwndFocus) : 0);
    return 0;
}
