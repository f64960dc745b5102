#include "platform/win32/Win32.h"

#include <commctrl.h>

#include <exception>

#include "MainWindow.h"
#include "RunPump.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WindowsComputer.h"

// Quimbro.exe: one window; the program ends when it is closed. A failure that escapes the
// window is shown in a message box before the program ends with a non-zero exit code.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    using namespace quimbro::win32;
    LoadDllsFromSystemFolderOnly();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    try {
        // The run's message policy, for the window and for the waits on a command alike.
        RunPump pump;
        WindowsComputer computer([&pump] { pump.Now(); }, [&pump] { pump.Turn(); });
        MainWindow window(instance, computer.computer(), pump);
        window.Show(showCommand);
        return window.RunMessageLoop();
    } catch (...) {
        // The window is gone by now: the box has no owner.
        return ReportFailure(nullptr, std::current_exception());
    }
}
