// The window during a run: its thread only takes its messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/PortableFileSystem.h"
#include "platform/win32/AdsiMetabase.h"
#include "platform/win32/LocalAdministrators.h"
#include "platform/win32/ProcessSnapshot.h"
#include "platform/win32/WindowsAutomation.h"
#include "platform/win32/WindowsClock.h"
#include "platform/win32/WindowsFileHost.h"
#include "platform/win32/window/Layout.h"
#include "platform/win32/window/MainWindow.h"

namespace quimbro::win32::test {
namespace {

// The first write of the report log is held 3 s, as Windows holds a writer back once the
// written data outgrows its cache.
struct HeldHost final : WindowsFileHost {
    struct HeldTarget final : Target {
        std::unique_ptr<Target> target;
        const HeldHost& host;
        HeldTarget(std::unique_ptr<Target> t, const HeldHost& h) : target(std::move(t)), host(h) {}
        void Write(std::span<const char> bytes) override {
            if (!host.held.exchange(true)) {
                host.holding = true;
                ::Sleep(3000);
                host.holding = false;
            }
            target->Write(bytes);
        }
        void Finish(std::optional<Stamp> lastWrite, const std::optional<std::string>& name) override {
            target->Finish(lastWrite, name);
        }
    };
    std::unique_ptr<Target> CreateTarget(const std::string& path,
                                         std::uint64_t size) const override {
        auto target = WindowsFileHost::CreateTarget(path, size);
        if (path.find("\\Quimbro_") == std::string::npos) return target;
        ++logs;
        return std::make_unique<HeldTarget>(std::move(target), *this);
    }
    mutable std::atomic<int> logs = 0;
    mutable std::atomic<bool> held = false, holding = false;
};

struct HeldAutomation final : AutomationObjects {
    WindowsAutomation automation;
    std::shared_ptr<HeldHost> host = std::make_shared<HeldHost>();
    std::unique_ptr<WScriptShell> CreateShell() override { return automation.CreateShell(); }
    std::unique_ptr<WScriptNetwork> CreateNetwork() override { return automation.CreateNetwork(); }
    std::unique_ptr<FileSystemObject> CreateFileSystem() override {
        return std::make_unique<PortableFileSystem>(host);
    }
};

// A second thread asks WM_NULL every 20 ms through the run, as the system does, and sends Start
// as another program may, as WM_COMMAND and as BM_CLICK, during the held write: neither starts
// a second run (one report log, one closing in the list).
TEST(Window, AnswersThroughAHeldWriteAndStartsNoSecondRun) {
    HeldAutomation automation;
    ProcessSnapshot processes;
    LocalAdministrators groups;
    AdsiMetabase metabase;
    WindowsClock clock;
    Computer computer{automation, processes, groups, metabase, clock};
    MainWindow window(::GetModuleHandleW(nullptr), computer);
    const HWND form = window.Frame();
    const HWND start = ::GetDlgItem(form, kStartId), exit = ::GetDlgItem(form, kCancelId);
    ULONGLONG longest = 0;
    int askedWhileHeld = 0;
    LRESULT closings = 0;
    std::thread other([&] {
        const auto startSent = [&] {
            ::SendMessageW(form, WM_COMMAND, MAKEWPARAM(kStartId, BN_CLICKED), LPARAM(start));
        };
        startSent();
        while (::IsWindowEnabled(exit)) ::Sleep(1);
        while (!::IsWindowEnabled(exit)) {
            if (automation.host->holding) {
                startSent();
                ::SendMessageW(start, BM_CLICK, 0, 0);
                ++askedWhileHeld;
            }
            const ULONGLONG asked = ::GetTickCount64();
            ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
            longest = std::max(longest, ::GetTickCount64() - asked);
            ::Sleep(20);
        }
        // The closing's last words, found once in the list.
        const HWND list = ::GetDlgItem(form, kList1Id);
        const LRESULT words = ::SendMessageW(list, LB_GETCOUNT, 0, 0) - 2;
        std::wstring line(::SendMessageW(list, LB_GETTEXTLEN, words, 0) + 1, L'\0');
        ::SendMessageW(list, LB_GETTEXT, words, LPARAM(line.data()));
        const auto find = [&](LRESULT after) {
            return ::SendMessageW(list, LB_FINDSTRINGEXACT, after, LPARAM(line.c_str()));
        };
        closings = find(-1) == words && find(words) == words ? 1 : 2;
        ::PostMessageW(form, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(window.RunMessageLoop(), 0);
    other.join();
    EXPECT_TRUE(automation.host->held);
    EXPECT_GT(askedWhileHeld, 50);
    EXPECT_LE(longest, 100u);
    EXPECT_EQ(automation.host->logs, 1);
    EXPECT_EQ(closings, 1);
}

}  // namespace
}  // namespace quimbro::win32::test
