// The plain conversions the run relies on: values to report text, Windows name matching,
// the run stamp, command lines, the products' base folder and the progress bar's range.
#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "context/ObjectsAndVariables.h"
#include "context/Statements.h"
#include "gatherers/CommandLine.h"
#include "platform/PlatformError.h"
#include "platform/Value.h"
#include "platform/Window.h"
#include "platform/WindowsPath.h"
#include "suite/KXSuite.h"

namespace quimbro {
namespace {

TEST(ValueText, JoinsTextNumbersAndFlags) {
    const struct {
        Value value;
        std::string text;
    } cases[] = {
        {std::string("Windows 10 Pro"), "Windows 10 Pro"},
        {std::string(), ""},
        {std::int64_t{3}, "3"},
        {std::int64_t{0}, "0"},
        {std::int64_t{4294967295}, "4294967295"},
        {std::int64_t{-1}, "-1"},
        {std::uint64_t{18446744073709551615u}, "18446744073709551615"},
        {true, "True"},
        {false, "False"},
    };
    for (const auto& c : cases) EXPECT_EQ(ToText(c.value), c.text);
}

TEST(ValueText, ListsAndBytesCannotBeJoined) {
    EXPECT_THROW(ToText(TextList{"a", "b"}), PlatformError);
    EXPECT_THROW(ToText(TextList{}), PlatformError);
    EXPECT_THROW(ToText(Bytes{1, 2}), PlatformError);
}

TEST(ValueText, OnlyListsHaveEntriesAndOnlyNumbersEqualNumbers) {
    EXPECT_EQ(EntriesOf(TextList{":80:", ":81:a"}), (TextList{":80:", ":81:a"}));
    EXPECT_TRUE(EntriesOf(std::string(":80:")).empty());
    EXPECT_TRUE(IsNumber(std::int64_t{1}, 1));
    EXPECT_TRUE(IsNumber(std::uint64_t{1}, 1));
    EXPECT_FALSE(IsNumber(std::int64_t{2}, 1));
    EXPECT_FALSE(IsNumber(std::string("1"), 1));
    EXPECT_FALSE(IsNumber(true, 1));
    EXPECT_FALSE(IsNumber(std::uint64_t{1}, -1));
}

TEST(Wildcards, MatchAsWindowsDoes) {
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"log*", "logs", true},
        {"log*", "log", true},
        {"log*", "Logs", true},
        {"LOG*", "logfiles", true},
        {"log*", "catalog", false},
        {"*.ini", "alman.ini", true},
        {"*.ini", "ALMAN.INI", true},
        {"*.ini", "alman.ini.bak", false},
        {"*.ini", "ini", false},
        {"*.*", "server.xml", true},
        {"*.*", "README", true},
        {"*.*", ".hidden", true},
        {"tomcat.bat", "Tomcat.BAT", true},
        {"tomcat.bat", "tomcat.bat2", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*.log", "setup.log", true},
        {"*.log", "setup.log.1", false},
        {"*a*b", "xxaxxb", true},
        {"*a*b", "xxaxxbx", false},
        {"error.*", "error", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches) << c.pattern << " ~ " << c.name;
}

TEST(Paths, SplitAtTheLastSeparatorKeepingRoots) {
    const struct {
        const char* path;
        const char* folder;
        const char* last;
    } cases[] = {
        {"D:\\Apps\\AlmanBoard\\log*", "D:\\Apps\\AlmanBoard", "log*"},
        {"D:\\log*", "D:\\", "log*"},
        {"\\log*", "\\", "log*"},
        {"log*", "", "log*"},
        {"/tmp/x\\y", "/tmp/x", "y"},
    };
    for (const auto& c : cases) {
        const auto [folder, last] = SplitLastComponent(c.path);
        EXPECT_EQ(folder, c.folder) << c.path;
        EXPECT_EQ(last, c.last) << c.path;
    }
}

TEST(RunStamp, NumbersWithoutLeadingZeros) {
    const struct {
        DateTime moment;
        const char* stamp;
    } cases[] = {
        {{2026, 12, 5, 3, 49, 34}, "1252026_34934"},
        {{2001, 12, 21, 14, 5, 7}, "12212001_1457"},
        {{2002, 1, 1, 0, 0, 0}, "112002_000"},
        {{2002, 3, 7, 9, 5, 3}, "372002_953"},
        // Different moments can share a stamp.
        {{2002, 11, 1, 1, 11, 11}, "1112002_11111"},
        {{2002, 1, 11, 11, 1, 11}, "1112002_11111"},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeRunStamp(c.moment), c.stamp);
}

TEST(CommandLine, TheRedirectionTakesOnlyATargetItKeepsAsSpelt) {
    const struct {
        const char* target;
        bool redirected;
    } cases[] = {
        {"C:\\Users\\Jo Smith\\Desktop", true},
        {"C:\\R&D ^1 (x)\\Bureau Ωmega", true},
        // The interpreter would expand these inside the quotes, or end the quotes early.
        {"C:\\Users\\Bureau %USERNAME%", false},
        {"C:\\Users\\100% sure", false},
        {"C:\\Users\\Hi!there!", false},
        {"C:\\a\" & del x & \"", false},
    };
    for (const auto& c : cases) {
        const std::string target = std::string(c.target) + "\\ipconfig_1.log";
        const auto capture = CaptureCommandFor("ipconfig.exe /all", target);
        if (c.redirected)
            EXPECT_EQ(capture, (CaptureCommand{"cmd /C ipconfig.exe /all > \"" + target + "\"",
                                               std::nullopt}))
                << c.target;
        else
            EXPECT_EQ(capture, (CaptureCommand{"cmd /C ipconfig.exe /all", target})) << c.target;
    }
}

TEST(ProductBase, IsTheFolderBesideKestova) {
    const struct {
        const char* installDirectory;
        const char* base;
    } cases[] = {
        {"D:\\Apps\\Vantorel\\Kestova", "D:\\Apps\\Vantorel\\"},
        {"D:\\Apps\\Vantorel\\Kestova\\", "D:\\Apps\\Vantorel\\"},
        {"D:\\Apps\\Vantorel\\Kestova\\\\", "D:\\Apps\\Vantorel\\"},
        {"D:\\Kestova\\Vantorel\\Kestova", "D:\\Kestova\\Vantorel\\"},
        {"D:\\APPS\\VANTOREL\\KESTOVA", "D:\\APPS\\VANTOREL\\"},
        {"D:\\apps\\kestova", "D:\\apps\\"},
        {"D:\\Kestova", "D:\\"},
        {"\\\\server\\share\\Vantorel\\Kestova", "\\\\server\\share\\Vantorel\\"},
        // Not in a Kestova folder: the directory itself holds the products.
        {"D:\\Apps\\Vantorel", "D:\\Apps\\Vantorel\\"},
        {"D:\\Apps\\KestovaOld", "D:\\Apps\\KestovaOld\\"},
        {"", ""},
        {"\\", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProductBaseFolder(c.installDirectory), c.base) << c.installDirectory;
}

struct RecordingBar final : ProgressBar {
    void Show(float value) override { shown.push_back(value); }
    std::vector<float> shown;
};

TEST(ProgressBar, RefusesValuesOutsideItsRangeAndKeepsTheOldOne) {
    RecordingBar bar;
    bar.SetValue(98);
    EXPECT_THROW(bar.SetValue(102), PlatformError);
    EXPECT_THROW(bar.SetValue(-2), PlatformError);
    EXPECT_EQ(bar.Value(), 98);
    bar.SetValue(100);
    bar.SetValue(0);
    EXPECT_EQ(bar.shown, (std::vector<float>{98, 100, 0}));
}

// Whatever a statement meets, it costs that statement only: the run never ends early.
TEST(ErrorRule, AnyFailureAbandonsOnlyItsStatement) {
    const std::vector<std::function<void()>> failures = {
        [] { throw PlatformError("the computer"); },
        [] { throw std::bad_alloc(); },
        [] { (void)std::string("short").at(10); },
    };
    for (const auto& fail : failures) {
        bool after = false;
        Attempt([&] {
            fail();
            after = true;
        });
        EXPECT_FALSE(after);
        EXPECT_FALSE(Holds([&] {
            fail();
            return true;
        }));
        EXPECT_TRUE(Collection([&] {
                        fail();
                        return std::vector<int>{1};
                    }).empty());
    }
}

}  // namespace
}  // namespace quimbro
