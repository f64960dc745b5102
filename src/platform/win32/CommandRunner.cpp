#include "platform/win32/CommandRunner.h"

#include <algorithm>
#include <cwchar>
#include <string_view>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/win32/Owners.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsFileHost.h"

namespace quimbro::win32 {

namespace {

using Clock = std::chrono::steady_clock;
// How long an ended command may take to go after being told to.
constexpr DWORD kEndingMilliseconds = 5000;
// Present in an environment, it keeps the current folder out of the search for a program.
constexpr std::wstring_view kNoCurrentFolder = L"NoDefaultCurrentDirectoryInExePath";

// The command and all it starts live in one job; closing the job ends whatever is left.
KernelHandle MakeJob() {
    KernelHandle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job) throw PlatformError("no job object");
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                   sizeof limits))
        throw PlatformError("job object refuses its limits");
    return job;
}

struct FreeEnvironment {
    void operator()(wchar_t* strings) const { ::FreeEnvironmentStringsW(strings); }
};
using EnvironmentStrings = Owner<wchar_t*, FreeEnvironment>;

// "=C:=C:\x" is the variable "=C:": a name may begin with "=".
std::wstring_view NameOf(std::wstring_view entry) {
    return entry.substr(0, entry.find(L'=', 1));
}

// Below, equal to or above zero, in the order Windows keeps an environment block in: by name,
// without regard to case or language.
int CompareNames(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) -
           CSTR_EQUAL;
}

// The program's own environment with kNoCurrentFolder set, as a Unicode block.
std::vector<wchar_t> CommandEnvironment() {
    const EnvironmentStrings strings(::GetEnvironmentStringsW());
    if (!strings) throw PlatformError("no environment");
    std::vector<std::wstring> entries;
    for (const wchar_t* entry = strings.Get(); *entry != L'\0'; entry += std::wcslen(entry) + 1)
        if (CompareNames(NameOf(entry), kNoCurrentFolder) != 0) entries.emplace_back(entry);
    const auto place = std::find_if(entries.begin(), entries.end(), [](const std::wstring& entry) {
        return CompareNames(NameOf(entry), kNoCurrentFolder) > 0;
    });
    entries.insert(place, std::wstring(kNoCurrentFolder) + L"=1");
    std::vector<wchar_t> block;
    for (const auto& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// Limits what a new process inherits to one handle. The list refers to the handle where it
// lies in this object, so the object stays where it was made.
class InheritedHandle {
  public:
    explicit InheritedHandle(HANDLE handle) : handle_(handle) {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        if (size == 0) throw PlatformError("no attribute list");
        buffer_.resize(size);
        const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
        if (!::InitializeProcThreadAttributeList(list, 1, 0, &size))
            throw PlatformError("no attribute list");
        list_ = list;
        if (!::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_,
                                         sizeof handle_, nullptr, nullptr)) {
            ::DeleteProcThreadAttributeList(list_);
            throw PlatformError("handle list refused");
        }
    }
    ~InheritedHandle() { ::DeleteProcThreadAttributeList(list_); }
    InheritedHandle(const InheritedHandle&) = delete;
    InheritedHandle& operator=(const InheritedHandle&) = delete;

    LPPROC_THREAD_ATTRIBUTE_LIST List() const { return list_; }

  private:
    HANDLE handle_;
    std::vector<unsigned char> buffer_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

struct Started {
    KernelHandle process;
    KernelHandle thread;
};

// The command, suspended, with `output` (when given) as its standard output and the one handle
// it inherits.
Started StartSuspended(const std::wstring& program, const std::string& commandLine, HANDLE output) {
    std::wstring text = Wide(commandLine);
    std::vector<wchar_t> mutableLine(text.begin(), text.end());
    mutableLine.push_back(L'\0');
    std::vector<wchar_t> environment = CommandEnvironment();
    const std::wstring folder = SystemFolder();

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup.StartupInfo;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT;
    std::optional<InheritedHandle> inherited;
    if (output) {
        inherited.emplace(output);
        startup.StartupInfo.cb = sizeof startup;
        startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdOutput = output;
        startup.lpAttributeList = inherited->List();
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    }

    PROCESS_INFORMATION info{};
    const bool started = ::CreateProcessW(program.c_str(), mutableLine.data(), nullptr, nullptr,
                                          output ? TRUE : FALSE, flags, environment.data(),
                                          folder.c_str(), &startup.StartupInfo, &info) != FALSE;
    Started command{KernelHandle(started ? info.hProcess : nullptr),
                    KernelHandle(started ? info.hThread : nullptr)};
    if (!command.process || !command.thread) {
        if (command.process) ::TerminateProcess(command.process.Get(), 1);
        throw PlatformError("command cannot be started");
    }
    return command;
}

void EndAll(HANDLE job, bool inJob, HANDLE process) {
    if (inJob)
        ::TerminateJobObject(job, 1);
    else
        ::TerminateProcess(process, 1);
    ::WaitForSingleObject(process, kEndingMilliseconds);
}

class StartedCommand final : public RunningCommand {
  public:
    StartedCommand(KernelHandle job, KernelHandle process, bool inJob, Clock::time_point deadline)
        : job_(std::move(job)), process_(std::move(process)), inJob_(inJob), deadline_(deadline) {}

    ~StartedCommand() override {
        if (!ended_) End();
    }
    StartedCommand(const StartedCommand&) = delete;
    StartedCommand& operator=(const StartedCommand&) = delete;

    void Wait() override {
        if (ended_) return;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            std::max(deadline_ - Clock::now(), Clock::duration::zero()));
        const DWORD woke = ::WaitForSingleObject(process_.Get(), static_cast<DWORD>(left.count()));
        if (woke == WAIT_FAILED) {
            End();
            throw PlatformError("cannot wait for the command");
        }
        if (woke != WAIT_OBJECT_0) {
            // Past the limit: the command and its children end; the run goes on.
            End();
            return;
        }
        // Whatever the command left running ends with the job.
        ended_ = true;
        job_.Reset();
    }

  private:
    void End() {
        ended_ = true;
        EndAll(job_.Get(), inJob_, process_.Get());
        job_.Reset();
    }

    KernelHandle job_;
    KernelHandle process_;
    bool inJob_;
    Clock::time_point deadline_;
    bool ended_ = false;
};

}  // namespace

std::unique_ptr<RunningCommand> CommandRunner::Start(
    const std::wstring& program, const std::string& commandLine,
    const std::optional<OutputFile>& outputFile) const {
    // 1. The job, before the command exists.
    KernelHandle job = MakeJob();
    // 2. The output file in its verified folder: a folder swapped for a link is never followed.
    KernelHandle output;
    if (outputFile) output = CreateInheritedOutput(*outputFile->folder, outputFile->name);
    std::unique_ptr<StartedCommand> running;
    try {
        // 3. The command, suspended so that nothing it starts escapes the job.
        Started command = StartSuspended(program, commandLine, output.Get());
        // 4. Into the job. Windows before 8 refuses a nested job; the command alone is then
        //    ended at the limit.
        const bool inJob = ::AssignProcessToJobObject(job.Get(), command.process.Get()) != FALSE;
        running = std::make_unique<StartedCommand>(std::move(job), std::move(command.process),
                                                   inJob, Clock::now() + limit_);
        // 5. Let it run.
        if (::ResumeThread(command.thread.Get()) == static_cast<DWORD>(-1))
            throw PlatformError("command cannot be resumed");
    } catch (...) {
        // A command that cannot run is ended, and leaves no output file.
        running.reset();
        if (output) DeleteByHandle(output.Get());
        throw;
    }
    return running;
}

}  // namespace quimbro::win32
