#include "platform/win32/ProcessSnapshot.h"

// The Windows headers first, then what builds on them.
#include "platform/win32/Owners.h"

#include <tlhelp32.h>

#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

// The snapshot calls process 0 "[System Process]"; WMI and the report call it this.
constexpr char kIdleProcess[] = "System Idle Process";

}  // namespace

std::vector<ProcessEntry> ProcessSnapshot::RunningProcesses() {
    const KernelHandle snapshot(ValidOrNull(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)));
    if (!snapshot) throw PlatformError("no process snapshot");
    std::vector<ProcessEntry> entries;
    PROCESSENTRY32W process{};
    process.dwSize = sizeof process;
    for (BOOL found = ::Process32FirstW(snapshot.Get(), &process); found;
         found = ::Process32NextW(snapshot.Get(), &process)) {
        process.szExeFile[MAX_PATH - 1] = L'\0';
        const DWORD id = process.th32ProcessID;
        entries.push_back({id == 0 ? std::string(kIdleProcess) : Utf8(process.szExeFile), id});
        process = PROCESSENTRY32W{};
        process.dwSize = sizeof process;
    }
    return entries;
}

}  // namespace quimbro::win32
