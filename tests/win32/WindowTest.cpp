// The window during a run: its thread only takes its messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/PortableFileSystem.h"
#include "platform/win32/WindowsAutomation.h"
#include "platform/win32/WindowsComputer.h"
#include "platform/win32/WindowsFileHost.h"
#include "platform/win32/window/Layout.h"
#include "platform/win32/window/MainWindow.h"

namespace quimbro::win32::test {
namespace {

// The report log's first write is held 3 s, as Windows holds a writer back once what is written
// outgrows its cache; the report logs made are counted.
struct HeldHost final : WindowsFileHost, AutomationObjects {
    struct Log final : Target {
        Log(std::unique_ptr<Target> f, std::atomic<bool>& h) : file(std::move(f)), holding(h) {}
        std::unique_ptr<Target> file;
        std::atomic<bool>& holding;
        void Write(std::span<const char> bytes) override {
            if (holding) ::Sleep(3000);
            holding = false;
            file->Write(bytes);
        }
        std::uint64_t Stored() const override { return file->Stored(); }
        void Finish(std::optional<Stamp> time, const std::optional<std::string>& name) override {
            file->Finish(time, name);
        }
    };
    std::unique_ptr<Target> CreateReport(const Folder& folder,
                                         const std::string& name) const override {
        holding = ++logs == 1;
        return std::make_unique<Log>(WindowsFileHost::CreateReport(folder, name), holding);
    }
    std::unique_ptr<WScriptShell> CreateShell() override { return automation.CreateShell(); }
    std::unique_ptr<WScriptNetwork> CreateNetwork() override { return automation.CreateNetwork(); }
    std::unique_ptr<FileSystemObject> CreateFileSystem() override {
        return std::make_unique<PortableFileSystem>(std::shared_ptr<HeldHost>(this, [](auto) {}));
    }
    WindowsAutomation automation;
    mutable std::atomic<int> logs = 0;
    mutable std::atomic<bool> holding = false;
};

// Another thread asks WM_NULL every 20 ms through the run, as the system does, and during the
// held write sends Start as other programs may, as WM_COMMAND and as BM_CLICK: the window
// answers within 100 ms throughout, and no second run starts. Wine stubs the calls that hold
// off the session's end: they are recorded, the reason standing from Start to the run's end.
TEST(Window, AnswersThroughAHeldWriteAndStartsNoSecondRun) {
    static std::wstring calls;
    const SessionEndCalls saved =
        std::exchange(SessionEndCallsInUse(),
                      {[](HWND, LPCWSTR reason) -> BOOL { return !(calls += reason).empty(); },
                       [](HWND) -> BOOL { return !(calls += L" gone").empty(); }});
    HeldHost host;
    WindowsComputer pc;
    Computer& real = pc.computer();
    Computer computer{host, real.processes, real.groups, real.metabase, real.clock};
    ULONGLONG longest = 0;
    int sentWhileHeld = 0;
    {  // the window, gone before the session calls are checked
        MainWindow window(::GetModuleHandleW(nullptr), computer);
        const HWND form = window.Frame(), start = ::GetDlgItem(form, kStartId);
        const HWND exit = ::GetDlgItem(form, kCancelId);
        const auto startSent = [&] {
            ::SendMessageW(form, WM_COMMAND, MAKEWPARAM(kStartId, BN_CLICKED), LPARAM(start));
        };
        std::thread other([&] {
            for (startSent(); !::IsWindowEnabled(exit); ::Sleep(20)) {
                if (host.holding) {
                    startSent();
                    ::SendMessageW(start, BM_CLICK, 0, 0);
                    ++sentWhileHeld;
                }
                const ULONGLONG asked = ::GetTickCount64();
                ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
                longest = std::max(longest, ::GetTickCount64() - asked);
            }
            ::PostMessageW(form, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(window.RunMessageLoop(), 0);
        other.join();
    }
    SessionEndCallsInUse() = saved;
    EXPECT_EQ(calls, std::wstring(SessionHold::kReason) + L" gone");
    EXPECT_GT(sentWhileHeld, 50);
    EXPECT_LE(longest, 100u);
    EXPECT_EQ(host.logs, 1);
}

// A window that makes the calls queued for it, as the form does.
LRESULT CALLBACK CallsWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WindowCalls::kMessage) return ::DefWindowProcW(window, message, wParam, lParam);
    reinterpret_cast<WindowCalls*>(::GetWindowLongPtrW(window, GWLP_USERDATA))->Answer();
    return 0;
}

// The run queues its lines and waits only for what it must: everything is made in the order
// asked, a queued line that fails costs only itself (never the next statement, which may be
// the run's last), a waited-for change's failure is the run's, and once the window is gone a
// call fails rather than passing for made.
TEST(WindowCalls, KeepTheRunsOrderAndChargeEachFailureToItsOwnCall) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CallsWindow;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuimbroCallsTest";
    ASSERT_NE(::RegisterClassW(&windowClass), 0);
    WindowCalls calls;
    const HWND window = ::CreateWindowW(L"QuimbroCallsTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&calls));
    std::vector<int> made;  // only the window's thread touches it
    std::vector<std::string> thrown;
    const auto caught = [&](auto&& call) {
        try {
            call();
        } catch (const std::exception& failure) {
            thrown.emplace_back(failure.what());
        }
    };
    std::thread run([&] {
        const auto queued = [&](std::function<void()> operation) {
            caught([&] { calls.Queue(window, std::move(operation)); });
        };
        const auto waited = [&](std::function<void()> operation) {
            caught([&] { calls.Make(window, std::move(operation)); });
        };
        for (int line = 0; line < 500; ++line) queued([&, line] { made.push_back(line); });
        queued([] { throw std::runtime_error("line not added"); });
        waited([&] { made.push_back(-1); });
        queued([] { throw std::runtime_error("bar not set"); });
        queued([&] { made.push_back(-2); });
        queued([&] { made.push_back(-3); });
        waited([&] { made.push_back(-4); });
        waited([] { throw std::runtime_error("button not enabled"); });
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        ::Sleep(200);
        queued([] {});
        waited([] {});
    });
    MSG message{};
    while (::IsWindow(window) && ::GetMessageW(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&message);
    run.join();
    ::UnregisterClassW(L"QuimbroCallsTest", windowClass.hInstance);

    ASSERT_EQ(made.size(), 504u);
    for (int line = 0; line < 500; ++line) ASSERT_EQ(made[line], line);
    EXPECT_EQ(std::vector(made.begin() + 500, made.end()), (std::vector{-1, -2, -3, -4}));
    EXPECT_EQ(thrown, (std::vector<std::string>{"button not enabled", "the window is gone",
                                                "the window is gone"}));
}

}  // namespace
}  // namespace quimbro::win32::test
