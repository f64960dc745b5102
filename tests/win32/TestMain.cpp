#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

#include "platform/win32/Owners.h"

// Started again by the command tests as a command that never ends on its own.
constexpr std::string_view kNeverEnding = "--print-and-wait";

int main(int argc, char** argv) {
    if (argc == 2 && argv[1] == kNeverEnding) {
        std::puts("started");
        std::fflush(stdout);
        for (;;) ::Sleep(1000);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
