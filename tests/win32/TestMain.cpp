#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/win32/Owners.h"

// Started again by the command tests as a command that never ends on its own.
constexpr std::string_view kNeverEnding = "--print-and-wait";

// Started again by the file tests as a program that holds a file open for writing with the
// given share mode, as a running service holds its log; "<file>.held" says it is open.
constexpr std::string_view kHold = "--hold";

int main(int argc, char** argv) {
    if (argc == 2 && argv[1] == kNeverEnding) {
        std::puts("started");
        std::fflush(stdout);
        for (;;) ::Sleep(1000);
    }
    if (argc == 4 && argv[1] == kHold) {
        const auto share = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
        const quimbro::win32::KernelHandle file(quimbro::win32::ValidOrNull(
            ::CreateFileA(argv[2], GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!file) return 1;
        const quimbro::win32::KernelHandle held(quimbro::win32::ValidOrNull(
            ::CreateFileA((std::string(argv[2]) + ".held").c_str(), GENERIC_WRITE, 0, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
        for (;;) ::Sleep(1000);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
