// A DLL or function of Windows that cannot be loaded when the program first calls it (the
// delay-loaded COM, known folders and file streams) ends the program as any failure that
// escapes the window does, not with an unhandled exception.
#include "platform/win32/Win32.h"

#include <delayimp.h>

#include <exception>
#include <string>

#include "MainWindow.h"
#include "platform/PlatformError.h"

namespace quimbro::win32 {

namespace {

std::string FunctionOf(const DelayLoadInfo& info) {
    if (!info.dlp.fImportByName) return "#" + std::to_string(info.dlp.dwOrdinal);
    return info.dlp.szProcName != nullptr ? info.dlp.szProcName : "?";
}

// Called by the delay-load helper instead of raising its exception; it never returns.
FARPROC WINAPI DelayLoadFailed(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliFailLoadLib && notification != dliFailGetProc) return nullptr;
    int exitCode = 1;
    try {
        const std::string dll = info != nullptr && info->szDll != nullptr ? info->szDll : "?";
        const std::string function = info != nullptr ? FunctionOf(*info) : "?";
        exitCode = ReportFailure(
            ::GetActiveWindow(),
            std::make_exception_ptr(PlatformError("Quimbro cannot load the function " + function +
                                                  " of " + dll + " and has to end.")));
    } catch (...) {
        exitCode = ReportFailure(::GetActiveWindow(), std::current_exception());
    }
    ::ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace

}  // namespace quimbro::win32

// Declared by delayimp.h with C linkage; the helper reads it.
decltype(__pfnDliFailureHook2) __pfnDliFailureHook2 = &quimbro::win32::DelayLoadFailed;
