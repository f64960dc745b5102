// Stands for "netstat -a" on a network where it resolves every name: its output comes late, so
// a run waits for it at its end.
#include "platform/win32/Win32.h"

#include <cstdio>

int main() {
    constexpr DWORD kResolvingMilliseconds = 6000;
    Sleep(kResolvingMilliseconds);
    std::puts("Active Connections");
    return 0;
}
