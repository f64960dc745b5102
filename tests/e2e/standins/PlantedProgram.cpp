// Stands for a program lying in a Downloads folder under the name of one of Windows' own. When
// it runs, it leaves "<its own path>.ran" beside itself.
#include "platform/win32/Win32.h"

#include <string>

int main() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    const HANDLE marker = CreateFileW((path + L".ran").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return marker != INVALID_HANDLE_VALUE && CloseHandle(marker) ? 0 : 1;
}
