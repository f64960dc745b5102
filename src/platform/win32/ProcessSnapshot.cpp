#include "platform/win32/ProcessSnapshot.h"

// The Windows headers first, then what builds on them.
#include "platform/win32/Owners.h"

#include <tlhelp32.h>

#include <optional>
#include <string>

#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

// The snapshot calls process 0 "[System Process]"; WMI and the report call it this.
constexpr char kIdleProcess[] = "System Idle Process";

// The file name of the process's image, for a snapshot entry without a name; none when the
// process cannot be asked (gone, or protected from this user).
std::optional<std::string> ImageName(DWORD id) {
    const KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) return std::nullopt;
    std::wstring image(32768, L'\0');
    DWORD size = static_cast<DWORD>(image.size());
    if (!::QueryFullProcessImageNameW(process.Get(), 0, image.data(), &size) ||
        size >= image.size())
        return std::nullopt;
    image.resize(size);
    const auto name = image.substr(image.find_last_of(L"\\/") + 1);
    if (name.empty()) return std::nullopt;
    return Utf8(name);
}

std::optional<std::string> NameOf(const PROCESSENTRY32W& process) {
    if (process.th32ProcessID == 0) return kIdleProcess;
    if (process.szExeFile[0] != L'\0') return Utf8(process.szExeFile);
    return ImageName(process.th32ProcessID);
}

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
        // Every line has a name: a process that cannot be named is left out.
        if (auto name = NameOf(process))
            entries.push_back({std::move(name), process.th32ProcessID});
        process = PROCESSENTRY32W{};
        process.dwSize = sizeof process;
    }
    return entries;
}

}  // namespace quimbro::win32
