#include "platform/win32/SystemLibrary.h"

namespace quimbro::win32 {

void LoadDllsFromSystemFolderOnly() {
    // Looked up: Windows 7 has it only with its update KB2533623. Without it, the current
    // folder at least leaves the search, and SystemLibrary loads by full path.
    using SetDefaultDllDirectoriesFunction = BOOL WINAPI(DWORD);
    const auto setDefault = LoadedProcedure<SetDefaultDllDirectoriesFunction>(
        L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) ::SetDllDirectoryW(L"");
}

std::wstring SystemFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    const UINT length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0 || length >= folder.size()) throw PlatformError("no system folder");
    folder.resize(length);
    return folder;
}

SystemLibrary::SystemLibrary(const wchar_t* fileName)
    : module_(::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    // A system without the search flags refuses them as an invalid parameter.
    if (!module_ && ::GetLastError() == ERROR_INVALID_PARAMETER)
        module_ = Module(::LoadLibraryExW((SystemFolder() + L"\\" + fileName).c_str(), nullptr,
                                          LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module_) throw PlatformError("a system library cannot be loaded");
}

}  // namespace quimbro::win32
