// Stands for a program named like one of Windows' own. When it runs, it leaves "<its own
// path>.ran" beside itself. As netstat.exe it is "netstat -a" on a network where it resolves
// every name: its output comes late, so a run waits for it at its end.
#include "platform/win32/Win32.h"

#include <cstdio>
#include <string>

int main() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    const HANDLE marker = CreateFileW((path + L".ran").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE || !CloseHandle(marker)) return 1;
    if (_wcsicmp(path.substr(path.find_last_of(L'\\') + 1).c_str(), L"netstat.exe") != 0) return 0;
    Sleep(6000);
    std::puts("Active Connections");
    return 0;
}
