#pragma once

#include "platform/win32/Win32.h"

#include <string>

#include "platform/PlatformError.h"
#include "platform/win32/Owners.h"

namespace quimbro::win32 {

// The first thing the program does: a DLL that is not a KnownDLL is then looked for in the
// system folder only, never beside the program (usually a Downloads folder) or in the current
// folder.
void LoadDllsFromSystemFolderOnly();

// The system folder (System32), without a trailing backslash.
std::wstring SystemFolder();

// An export of a DLL every process has loaded (kernel32, ntdll) as the function its header
// declares, or null where this Windows lacks it.
template <class Function>
Function* LoadedProcedure(const wchar_t* module, const char* name) {
    const HMODULE loaded = ::GetModuleHandleW(module);
    const FARPROC address = loaded == nullptr ? nullptr : ::GetProcAddress(loaded, name);
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(address));
}

// A DLL of Windows that is not a KnownDLL, loaded from the system folder only, whatever lies
// beside the program; freed when its owner goes. Raises PlatformError when it cannot be loaded.
class SystemLibrary {
  public:
    explicit SystemLibrary(const wchar_t* fileName);

    // The export of that name as the function its header declares, as in
    // Procedure<decltype(::NetApiBufferFree)>("NetApiBufferFree").
    template <class Function>
    Function* Procedure(const char* name) const {
        const FARPROC address = ::GetProcAddress(module_.Get(), name);
        if (address == nullptr) throw PlatformError("the library lacks a function");
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(address));
    }

  private:
    struct Free {
        void operator()(HMODULE module) const { ::FreeLibrary(module); }
    };
    using Module = Owner<HMODULE, Free>;
    Module module_;
};

}  // namespace quimbro::win32
