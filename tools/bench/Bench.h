#pragma once

// What the benchmark's own Windows programs share: the clock and the way they report.
#include "platform/win32/Owners.h"

#include <cstdio>

namespace bench {

// Milliseconds on the performance counter, the clock that every process of the system shares,
// so the times of the watcher and of a traced Quimbro.exe can be set side by side.
inline double Milliseconds() {
    LARGE_INTEGER frequency{}, now{};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 ||
        !QueryPerformanceCounter(&now))
        return 0;
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// One event, one line, at once: the benchmark reads the lines while the program runs.
inline void Report(const char* event, double milliseconds, const char* detail = "") {
    std::printf("%s\t%.3f\t%s\n", event, milliseconds, detail);
    std::fflush(stdout);
}

using quimbro::win32::FindHandle;
using quimbro::win32::KernelHandle;
using quimbro::win32::ValidOrNull;

}  // namespace bench
