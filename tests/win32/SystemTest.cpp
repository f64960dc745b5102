#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WindowsComputer.h"

#include <lm.h>

namespace quimbro::win32::test {
namespace {

// What a whole run shows of no part: the user's domain, the desktop's form, the program's own
// copies. Wine lacks the metabase providers, so binding fails without starting ADSI; its NetAPI
// reports success and fills nothing, so the Administrators, found by their SID in every
// language, are an empty list: never a failure and never an unnamed member.
TEST(Computer, AllPartsAreThere) {
    WindowsComputer pc;
    Computer& computer = pc.computer();
    auto shell = computer.automation.CreateShell();
    auto network = computer.automation.CreateNetwork();
    ASSERT_TRUE(shell && network);
    EXPECT_FALSE(shell->DesktopFolder().ends_with('\\'));
    const std::string name = network->ComputerName();
    EXPECT_FALSE(network->UserName().empty() || network->UserDomain().empty());
    EXPECT_EQ(std::ranges::count(CopiesOfThisProgram(), ::GetCurrentProcessId()), 1);
    for (const auto& member : computer.groups.AdministratorsMembers(name))
        EXPECT_TRUE(member && !member->empty());
    EXPECT_THROW(computer.metabase.Bind("IIS://" + name + "/W3SVC/1/Root"), PlatformError);
    EXPECT_EQ(::GetModuleHandleW(L"activeds.dll"), nullptr);
}

// A delay-loaded DLL that cannot be loaded, or lacks the function called, ends the program with
// the failure box naming both (here its text on the standard output) and its exit code.
TEST(DelayLoad, AFailedLoadEndsTheProgramWithItsReport) {
    for (const auto& [call, text] :
         {std::pair{L"dll", "QuimbroMissing of quimbro-missing.dll"},
          std::pair{L"function", "QuimbroNoSuchFunction of version.dll"}}) {
        FILE* program =
            ::_wpopen((L"\"" + OwnProgram() + L"\" --call-missing-" + call).c_str(), L"rt");
        ASSERT_NE(program, nullptr);
        std::string output;
        for (char line[512]; std::fgets(line, sizeof line, program) != nullptr;) output += line;
        EXPECT_EQ(::_pclose(program), 3) << output;
        EXPECT_NE(output.find(text), std::string::npos) << output;
    }
}

// Windows DLLs that are not KnownDLLs, loaded from the system folder by name.
TEST(SystemLibrary, LoadsFromTheSystemFolderWithItsFunctions) {
    const SystemLibrary netapi(L"netapi32.dll");
    EXPECT_NE(netapi.Procedure<decltype(::NetApiBufferFree)>("NetApiBufferFree"), nullptr);
    EXPECT_THROW(netapi.Procedure<void()>("QuimbroNoSuchFunction"), PlatformError);
    EXPECT_NO_THROW(SystemLibrary(L"activeds.dll"));
    EXPECT_THROW(SystemLibrary(L"quimbro-no-such.dll"), PlatformError);
}

}  // namespace
}  // namespace quimbro::win32::test
