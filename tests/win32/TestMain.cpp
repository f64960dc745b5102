#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

#include "platform/win32/Owners.h"
#include "platform/win32/window/MainWindow.h"

// Delay-loaded, and not there: one in a DLL that does not exist, one missing from version.dll.
extern "C" void QuimbroMissing();
extern "C" void QuimbroNoSuchFunction();

namespace quimbro::win32 {

// The program's failure box, here its text on the standard output.
int ReportFailure(HWND, const std::exception_ptr& failure) noexcept {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        std::puts(error.what());
        std::fflush(stdout);
    } catch (...) {
    }
    return 3;
}

}  // namespace quimbro::win32

int main(int argc, char** argv) {
    // Started again by the command tests as a command that never ends on its own.
    if (argc == 2 && std::string_view(argv[1]) == "--print-and-wait") {
        std::puts("started");
        std::fflush(stdout);
        for (;;) ::Sleep(1000);
    }
    if (argc == 2 && std::string_view(argv[1]) == "--call-missing-dll") QuimbroMissing();
    if (argc == 2 && std::string_view(argv[1]) == "--call-missing-function")
        QuimbroNoSuchFunction();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
