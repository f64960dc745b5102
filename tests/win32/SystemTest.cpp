#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/LocalAdministrators.h"
#include "platform/win32/ProcessSnapshot.h"
#include "platform/win32/Registry.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsClock.h"
#include "platform/win32/WindowsComputer.h"
#include "platform/win32/WindowsNetwork.h"
#include "platform/win32/WindowsShell.h"

namespace quimbro::win32::test {
namespace {

TEST(Desktop, ExistsWithoutTrailingBackslash) {
    const std::string desktop = DesktopFolderPath();
    ASSERT_FALSE(desktop.empty());
    EXPECT_NE(desktop.back(), '\\');
    const DWORD attributes = ::GetFileAttributesW(Wide(desktop).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Names, AreReadAndNotEmpty) {
    WindowsNetwork network;
    EXPECT_FALSE(network.UserName().empty());
    const std::string computer = network.ComputerName();
    EXPECT_FALSE(computer.empty());
    EXPECT_LE(computer.size(), std::size_t{MAX_COMPUTERNAME_LENGTH});
    EXPECT_FALSE(network.UserDomain().empty());
}

bool HoldsThisProgram(const std::vector<ProcessEntry>& processes) {
    const std::wstring own = OwnProgram();
    const std::string name = Utf8(own.substr(own.find_last_of(L'\\') + 1));
    return std::any_of(processes.begin(), processes.end(), [&](const ProcessEntry& process) {
        return process.name && process.id && *process.id == ::GetCurrentProcessId() &&
               ::lstrcmpiW(Wide(*process.name).c_str(), Wide(name).c_str()) == 0;
    });
}

TEST(Processes, ThisProgramIsListedWithItsIdentifier) {
    EXPECT_TRUE(HoldsThisProgram(ProcessSnapshot().RunningProcesses()));
}

// The group is found by its SID in every language. Wine's NetAPI then reports success and
// fills nothing: the list is empty, never a failure and never an unnamed member.
TEST(Administrators, TheGroupIsFoundAndItsMembersNamed) {
    const auto members =
        LocalAdministrators().AdministratorsMembers(WindowsNetwork().ComputerName());
    for (const auto& member : members) EXPECT_TRUE(member && !member->empty());
}

struct FormatCase {
    DateTime moment;
    const char* date;
    const char* time;
};

class UsEnglishClock : public testing::TestWithParam<FormatCase> {
  protected:
    void SetUp() override {
        wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
        if (!::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) ||
            std::wstring(locale) != L"en-US")
            GTEST_SKIP() << "the user's locale is not en-US";
    }
};

TEST_P(UsEnglishClock, ShortDateAndTime) {
    WindowsClock clock;
    EXPECT_EQ(clock.ShortDate(GetParam().moment), GetParam().date);
    EXPECT_EQ(clock.TimeOfDay(GetParam().moment), GetParam().time);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, UsEnglishClock,
    testing::Values(FormatCase{{2026, 12, 5, 3, 49, 34}, "12/5/2026", "3:49:34 AM"},
                    FormatCase{{2001, 12, 21, 14, 5, 7}, "12/21/2001", "2:05:07 PM"},
                    FormatCase{{2002, 1, 1, 0, 0, 0}, "1/1/2002", "12:00:00 AM"}));

TEST(Computer, AllPartsAreThere) {
    WindowsComputer pc;
    Computer& computer = pc.computer();
    auto shell = computer.automation.CreateShell();
    auto network = computer.automation.CreateNetwork();
    auto files = computer.automation.CreateFileSystem();
    ASSERT_TRUE(shell && network && files);
    EXPECT_EQ(shell->DesktopFolder(), DesktopFolderPath());
    EXPECT_TRUE(files->FolderExists(shell->DesktopFolder()));
    EXPECT_EQ(
        shell->RegRead("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\CurrentVersion"),
        ReadRegistryValue("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\CurrentVersion"));
    EXPECT_FALSE(computer.processes.RunningProcesses().empty());
    EXPECT_THROW(computer.metabase.Bind("IIS://" + network->ComputerName() + "/W3SVC/1/Root"),
                 PlatformError);
}

}  // namespace
}  // namespace quimbro::win32::test
