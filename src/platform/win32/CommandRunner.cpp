#include "platform/win32/CommandRunner.h"

#include <vector>

#include "platform/PlatformError.h"
#include "platform/win32/Owners.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

using Clock = std::chrono::steady_clock;
constexpr DWORD kPollMilliseconds = 50;
// A pass of the paint loop handles at most this many messages, so a window that never
// validates itself cannot keep the thread here.
constexpr int kPaintMessagesPerPass = 32;
// How long an ended command may take to go after being told to.
constexpr DWORD kEndingMilliseconds = 5000;

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

struct Started {
    KernelHandle process;
    KernelHandle thread;
};

Started StartSuspended(const std::string& commandLine) {
    std::wstring text = Wide(commandLine);
    std::vector<wchar_t> mutableLine(text.begin(), text.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                          CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info))
        throw PlatformError("command cannot be started");
    return {KernelHandle(info.hProcess), KernelHandle(info.hThread)};
}

void EndAll(HANDLE job, bool inJob, HANDLE process) {
    if (inJob)
        ::TerminateJobObject(job, 1);
    else
        ::TerminateProcess(process, 1);
    ::WaitForSingleObject(process, kEndingMilliseconds);
}

}  // namespace

void KeepWindowsPainted() {
    MSG message;
    for (int handled = 0; handled < kPaintMessagesPerPass &&
                          ::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE);
         ++handled)
        ::DispatchMessageW(&message);
}

void CommandRunner::Run(const std::string& commandLine) const {
    // 1. The job, before the command exists.
    const KernelHandle job = MakeJob();
    // 2. The command, suspended so that nothing it starts escapes the job.
    const Started command = StartSuspended(commandLine);
    // 3. Into the job. Windows before 8 refuses a nested job; the command alone is then ended
    //    at the limit.
    const bool inJob = ::AssignProcessToJobObject(job.Get(), command.process.Get()) != FALSE;
    // 4. Let it run.
    if (::ResumeThread(command.thread.Get()) == static_cast<DWORD>(-1)) {
        EndAll(job.Get(), inJob, command.process.Get());
        throw PlatformError("command cannot be resumed");
    }
    // 5. Wait for its end, keeping the thread answering, until the limit.
    const auto deadline = Clock::now() + limit_;
    const HANDLE process = command.process.Get();
    for (;;) {
        const DWORD woke =
            ::MsgWaitForMultipleObjects(1, &process, FALSE, kPollMilliseconds, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return;
        if (woke == WAIT_FAILED) {
            EndAll(job.Get(), inJob, process);
            throw PlatformError("cannot wait for the command");
        }
        if (whileWaiting_) whileWaiting_();
        if (Clock::now() >= deadline) {
            // 6. Past the limit: the command and its children end; the run goes on.
            EndAll(job.Get(), inJob, process);
            return;
        }
    }
}

}  // namespace quimbro::win32
