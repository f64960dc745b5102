#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

#include "platform/win32/Owners.h"

int main(int argc, char** argv) {
    // Started again by the command tests as a command that never ends on its own.
    if (argc == 2 && std::string_view(argv[1]) == "--print-and-wait") {
        std::puts("started");
        std::fflush(stdout);
        for (;;) ::Sleep(1000);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
