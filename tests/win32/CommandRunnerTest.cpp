#include <gtest/gtest.h>

// The Windows headers first, then what builds on them.
#include "platform/win32/Owners.h"

#include <chrono>
#include <vector>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/CommandRunner.h"
#include "platform/win32/CommandStarter.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsFileHost.h"

namespace quimbro::win32::test {
namespace {

using namespace std::chrono_literals;

const std::wstring kInterpreter = SystemFolder() + L"\\cmd.exe";

OutputFile In(const TempFolder& folder, const std::string& name) {
    const WindowsFileHost host;
    return {host.OpenFolder(host.Native(folder.Path()), false), name};
}

// Started on the starter's thread: a command that cannot start fails its wait, not its start,
// and leaves no output file; the commands given before and after it still run.
TEST(CommandStarter, AFailedStartIsReportedByItsWait) {
    TempFolder folder;
    CommandStarter starter{CommandRunner(), std::make_shared<Worker>()};
    const std::string failed = folder.Path() + "\\ipconfig_1.log";
    const std::string before = folder.Path() + "\\netstat_1.log";
    const std::string after = folder.Path() + "\\services_1.log";
    auto first = starter.Start(kInterpreter, "cmd /C echo first", In(folder, "netstat_1.log"));
    std::unique_ptr<RunningCommand> unstartable;
    ASSERT_NO_THROW(unstartable = starter.Start(Wide(folder.Path()) + L"\\cmd.exe", "cmd /C ver",
                                                In(folder, "ipconfig_1.log")));
    auto last = starter.Start(kInterpreter, "cmd /C echo last", In(folder, "services_1.log"));
    EXPECT_THROW(unstartable->Wait(), PlatformError);
    EXPECT_FALSE(Exists(failed));
    first->Wait();
    last->Wait();
    EXPECT_EQ(ReadWholeFile(before) + ReadWholeFile(after), "first\r\nlast\r\n");
}

// A command still running at the limit is ended with everything it started, and the run goes
// on. The command runs in the system folder, where the names it runs cannot be planted, and
// looks for none in its current folder.
TEST(CommandRunner, ANeverEndingCommandIsEndedWithItsChildrenAtTheLimit) {
    TempFolder folder;
    const std::string capture = folder.Path() + "\\netstat 1.log";
    const CommandRunner runner(3s);
    const auto started = std::chrono::steady_clock::now();
    // cmd starts a copy of this program that prints a line and then waits for ever.
    runner
        .Start(kInterpreter,
               "cmd /C \"\"" + Utf8(OwnProgram()) + "\" --print-and-wait > \"" + capture + "\"\"",
               std::nullopt)
        ->Wait();
    const auto took = std::chrono::steady_clock::now() - started;

    EXPECT_GE(took, 3s);
    EXPECT_LT(took, 30s);
    EXPECT_EQ(CopiesOfThisProgram(), std::vector<DWORD>{::GetCurrentProcessId()});
    EXPECT_EQ(ReadWholeFile(capture), "started\r\n");
    // The next command runs as usual, its output file complete once waited for.
    const std::string next = folder.Path() + "\\services_1.log";
    runner
        .Start(kInterpreter, "cmd /C cd & set NoDefaultCurrentDirectoryInExePath",
               In(folder, "services_1.log"))
        ->Wait();
    EXPECT_EQ(ReadWholeFile(next),
              Utf8(SystemFolder()) + "\r\nNoDefaultCurrentDirectoryInExePath=1\r\n");
}

}  // namespace
}  // namespace quimbro::win32::test
