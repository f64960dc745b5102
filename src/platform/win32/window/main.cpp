#include "platform/win32/Win32.h"

#include <commctrl.h>

#include <exception>

#include "MainWindow.h"
#include "OneQuimbro.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WindowsComputer.h"

// Quimbro.exe: one window; the program ends when it is closed. A failure that escapes the
// window or the run is shown in a message box before the program ends with a non-zero exit
// code. A second start in the same session shows the first one's window instead.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    using namespace quimbro::win32;
    LoadDllsFromSystemFolderOnly();
    const OneQuimbro one;
    if (!one.First()) return 0;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    try {
        WindowsComputer computer;
        MainWindow window(instance, computer.computer());
        window.Show(showCommand);
        const int exitCode = window.RunMessageLoop();
        // A failure ended the program during a run: nothing of it may outlive what it uses.
        if (window.Running()) ::TerminateProcess(::GetCurrentProcess(), exitCode);
        return exitCode;
    } catch (...) {
        // The window is gone by now: the box has no owner.
        return ReportFailure(nullptr, std::current_exception());
    }
}
