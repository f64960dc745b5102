#include "Trace.h"

#include <cstdio>
#include <string>

#include "platform/win32/Owners.h"

namespace quimbro::win32 {

namespace {

constexpr wchar_t kTraceFileVariable[] = L"QUIMBRO_TRACE_FILE";

// The trace file, opened for appending at the first step; empty when there is none.
KernelHandle OpenTraceFile() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableW(kTraceFileVariable, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH || path[0] == L'\0') return {};
    return KernelHandle(ValidOrNull(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

// Milliseconds on the performance counter, the clock every process of the system shares.
double Milliseconds() {
    LARGE_INTEGER frequency{}, now{};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 ||
        !QueryPerformanceCounter(&now))
        return 0;
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

void Trace(std::string_view text) noexcept {
    try {
        static const KernelHandle file = OpenTraceFile();
        if (!file) return;
        char stamp[32] = {};
        const int stampLength = std::snprintf(stamp, sizeof stamp, "%.3f\t", Milliseconds());
        if (stampLength <= 0) return;
        std::string line(stamp, static_cast<size_t>(stampLength));
        line.append(text);
        line += "\r\n";
        DWORD written = 0;
        WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    } catch (...) {
        // Out of memory: the step goes untraced.
    }
}

}  // namespace quimbro::win32
