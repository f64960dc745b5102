#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/win32/Owners.h"

int main(int argc, char** argv) {
    // Planted as a program named like one of Windows' own, it leaves "<its path>.ran" when run.
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    if (self.ends_with(L".com")) {
        ::CloseHandle(::CreateFileW((self + L".ran").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return 0;
    }
    // Started again by the command tests as a command that never ends on its own.
    if (argc == 2 && std::string_view(argv[1]) == "--print-and-wait") {
        std::puts("started");
        std::fflush(stdout);
        for (;;) ::Sleep(1000);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
