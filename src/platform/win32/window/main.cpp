#include "platform/win32/Win32.h"

#include <commctrl.h>

#include "MainWindow.h"
#include "PumpWhileBusy.h"
#include "platform/win32/Owners.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WindowsComputer.h"

// Quimbro.exe: one window; the program ends when it is closed. Nothing is ever shown or
// written about a failure; the exit code alone tells of one.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    using namespace quimbro::win32;
    LoadDllsFromSystemFolderOnly();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    try {
        const ComApartment com;
        // While a command runs, the window repaints and drops input, as between the steps.
        WindowsComputer computer(PumpWhileBusy);
        MainWindow window(instance, computer.computer());
        window.Show(showCommand);
        return window.RunMessageLoop();
    } catch (...) {
        return 1;
    }
}
