// BenchWatcher.exe run|open <window class> <program>: starts the program and watches its
// window every 10 ms, one line per event ("event<TAB>milliseconds<TAB>detail"):
//   launched  just before the program is started
//   ready     the window shows and answers; "run": also with the introduction in its list and
//             Start enabled
//   start     "run": the watcher has pressed Start
//   finished  "run": Exit is enabled again after the run
//   ended     the program has ended after the watcher pressed Exit ("run") or closed the
//             window ("open"); the detail is its exit code
// A step that does not come within its limit prints "timeout" and ends the program.
#include <cwchar>
#include <string>

#include "Bench.h"

namespace {

using bench::Milliseconds;

constexpr DWORD kPollMilliseconds = 10;
constexpr double kOpenLimit = 120'000;
constexpr double kRunLimit = 1'800'000;
constexpr LRESULT kIntroductionLines = 8;
constexpr UINT kAskTimeout = 1000;

struct Form {
    HWND window = nullptr;
    HWND list = nullptr;
    HWND start = nullptr;
    HWND exit = nullptr;
};

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    const int length = GetWindowTextW(window, text, 256);
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

// The program's own top-level window of the class, with its list and buttons.
Form FindForm(const wchar_t* className, DWORD process) {
    Form form;
    for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process) form.window = window;
    }
    if (form.window == nullptr) return form;
    for (HWND child = GetWindow(form.window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring kind = ClassOf(child);
        if (_wcsicmp(kind.c_str(), L"ListBox") == 0) form.list = child;
        if (_wcsicmp(kind.c_str(), L"Button") != 0) continue;
        const std::wstring text = TextOf(child);
        if (text == L"Start") form.start = child;
        if (text == L"Exit") form.exit = child;
    }
    return form;
}

LRESULT LineCount(HWND list) {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAskTimeout, &count))
        return 0;
    return static_cast<LRESULT>(count);
}

// Polls until `reached` holds; false when the limit passes or the program ends first.
template <class Condition>
bool Await(HANDLE process, double limit, Condition reached) {
    const double end = Milliseconds() + limit;
    while (!reached()) {
        if (Milliseconds() > end || WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return false;
        Sleep(kPollMilliseconds);
    }
    return true;
}

int Fail(const char* step, HANDLE process) {
    bench::Report("timeout", bench::Milliseconds(), step);
    TerminateProcess(process, 1);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fputs("usage: BenchWatcher run|open <window class> <program>\n", stderr);
        return 2;
    }
    const bool run = std::wcscmp(argv[1], L"run") == 0;
    const wchar_t* className = argv[2];
    std::wstring commandLine = L"\"" + std::wstring(argv[3]) + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    bench::Report("launched", Milliseconds());
    const bool started = CreateProcessW(argv[3], commandLine.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &info) != FALSE;
    const bench::KernelHandle process(started ? info.hProcess : nullptr);
    const bench::KernelHandle thread(started ? info.hThread : nullptr);
    if (!process) {
        std::fputs("the program cannot be started\n", stderr);
        return 1;
    }
    const DWORD id = info.dwProcessId;

    Form form;
    const bool ready = Await(process.Get(), kOpenLimit, [&] {
        form = FindForm(className, id);
        if (form.window == nullptr || !IsWindowVisible(form.window)) return false;
        // Ready is shown and answering: visible alone is before the first paint.
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(form.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAskTimeout,
                                 &answer))
            return false;
        if (!run) return true;
        return form.list != nullptr && form.start != nullptr && form.exit != nullptr &&
               IsWindowEnabled(form.start) && LineCount(form.list) >= kIntroductionLines;
    });
    if (!ready) return Fail("ready", process.Get());
    bench::Report("ready", Milliseconds());

    if (run) {
        // Posted, not sent: the run holds the window's thread until it ends.
        bench::Report("start", Milliseconds());
        PostMessageW(form.start, BM_CLICK, 0, 0);
        if (!Await(process.Get(), kRunLimit,
                   [&] { return !IsWindowEnabled(form.start) && IsWindowEnabled(form.exit); }))
            return Fail("finished", process.Get());
        bench::Report("finished", Milliseconds());
        PostMessageW(form.exit, BM_CLICK, 0, 0);
    } else {
        PostMessageW(form.window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.Get(), static_cast<DWORD>(kOpenLimit)) != WAIT_OBJECT_0)
        return Fail("ended", process.Get());
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    bench::Report("ended", Milliseconds(), std::to_string(code).c_str());
    return 0;
}
