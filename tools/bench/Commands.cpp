// BenchCommands.exe <folder>: runs the three commands that Quimbro captures one after another,
// each as "cmd /C <command> > <file in folder>" started with CreateProcessW as Quimbro starts
// them, waiting for each. Prints "command<TAB>milliseconds<TAB>command" for each and
// "commands<TAB>milliseconds" for the three. Then runs the three alongside each other, as a run
// does, and prints "alongside<TAB>milliseconds": no run that captures them can end sooner.
#include <string>
#include <vector>

#include "Bench.h"

namespace {

struct Command {
    const wchar_t* line;
    const wchar_t* file;
    const char* name;
};

constexpr Command kCommands[] = {
    {L"ipconfig.exe /all", L"ipconfig.log", "ipconfig /all"},
    {L"netstat -a", L"netstat.log", "netstat -a"},
    {L"net start", L"services.log", "net start"},
};

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

bench::KernelHandle StartCommand(const std::wstring& interpreter, const std::wstring& folder,
                                 const Command& command) {
    std::wstring line =
        L"cmd /C " + std::wstring(command.line) + L" > \"" + folder + L"\\" + command.file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    const bool started =
        CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                       nullptr, nullptr, &startup, &info) != FALSE;
    const bench::KernelHandle thread(started ? info.hThread : nullptr);
    return bench::KernelHandle(started ? info.hProcess : nullptr);
}

bool Ended(const bench::KernelHandle& process) {
    return process && WaitForSingleObject(process.Get(), INFINITE) == WAIT_OBJECT_0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: BenchCommands <folder>\n", stderr);
        return 2;
    }
    const std::wstring system = SystemFolder();
    if (system.empty()) return 1;
    const std::wstring interpreter = system + L"\\cmd.exe";
    const double first = bench::Milliseconds();
    for (const Command& command : kCommands) {
        const double started = bench::Milliseconds();
        if (!Ended(StartCommand(interpreter, argv[1], command))) return 1;
        bench::Report("command", bench::Milliseconds() - started, command.name);
    }
    bench::Report("commands", bench::Milliseconds() - first);
    const double together = bench::Milliseconds();
    std::vector<bench::KernelHandle> running;
    for (const Command& command : kCommands)
        running.push_back(StartCommand(interpreter, argv[1], command));
    for (const auto& process : running)
        if (!Ended(process)) return 1;
    bench::Report("alongside", bench::Milliseconds() - together);
    return 0;
}
