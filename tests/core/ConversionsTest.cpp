// The plain conversions the run relies on, from the tables in tests/data/core: values to report
// text, Windows name matching, the run stamp, command lines, the products' base folder, and the
// progress bar's range.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <sstream>

#include "context/ObjectsAndVariables.h"
#include "context/Statements.h"
#include "core/Fixtures.h"
#include "fakes/FakeWindow.h"
#include "gatherers/CommandLine.h"
#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"
#include "suite/KXSuite.h"

namespace quimbro::test {
namespace {

TEST(ValueText, JoinsTextNumbersAndFlagsButNotListsOrBytes) {
    for (const auto& row : Table("core/value-text.txt")) {
        if (row[0] == "!")
            EXPECT_THROW(ToText(ValueOf(row[1])), PlatformError) << row[1];
        else
            EXPECT_EQ(ToText(ValueOf(row[1])), row[0]);
    }
    EXPECT_EQ(EntriesOf(TextList{":80:", ":81:a"}), (TextList{":80:", ":81:a"}));
    EXPECT_TRUE(EntriesOf(std::string(":80:")).empty());
    EXPECT_TRUE(IsNumber(std::int64_t{1}, 1) && IsNumber(std::uint64_t{1}, 1));
    EXPECT_FALSE(IsNumber(std::int64_t{2}, 1) || IsNumber(std::string("1"), 1));
    EXPECT_FALSE(IsNumber(true, 1) || IsNumber(std::uint64_t{1}, -1));
}

TEST(Wildcards, MatchAsWindowsDoes) {
    for (const auto& row : Table("core/wildcards.txt"))
        EXPECT_EQ(MatchesWildcard(row[0], row[1]), row[2] == "yes") << row[0] << " ~ " << row[1];
}

TEST(Paths, SplitAtTheLastSeparatorKeepingRoots) {
    for (const auto& row : Table("core/paths.txt"))
        EXPECT_EQ(SplitLastComponent(row[0]), std::pair(row[1], row[2])) << row[0];
}

TEST(RunStamp, NumbersWithoutLeadingZeros) {
    for (const auto& row : Table("core/run-stamps.txt")) {
        DateTime m;
        std::istringstream(row[0]) >> m.year >> m.month >> m.day >> m.hour >> m.minute >> m.second;
        EXPECT_EQ(MakeRunStamp(m), row[1]);
    }
}

TEST(CommandLine, SystemProgramsByFullPathAndOnlyTargetsKeptAsSpelt) {
    for (const auto& row : Table("core/command-lines.txt")) {
        const auto target = row[1] + "\\ipconfig_1.log";
        const auto command = [&] {
            return CaptureCommandFor(row[0], "ipconfig.exe", "/all", target);
        };
        if (row[2] == "!") {
            EXPECT_THROW(command(), PlatformError) << row[0];
            continue;
        }
        auto line = row[2];
        if (const auto at = line.find("<target>"); at != std::string::npos)
            line.replace(at, 8, target);
        const auto file = row[3] == "-" ? std::nullopt : std::optional(target);
        EXPECT_EQ(command(), (CaptureCommand{line, file})) << row[0] << " " << row[1];
    }
}

TEST(ProductBase, IsTheFolderBesideKestova) {
    for (const auto& row : Table("core/product-base.txt"))
        EXPECT_EQ(ProductBaseFolder(row[0]), row[1]) << row[0];
}

TEST(ProgressBar, RefusesValuesOutsideItsRangeAndKeepsTheOldOne) {
    FakeWindow window;
    auto& bar = window.ProgressBar1();
    bar.SetValue(98);
    EXPECT_THROW(bar.SetValue(102), PlatformError);
    EXPECT_THROW(bar.SetValue(-2), PlatformError);
    EXPECT_EQ(bar.Value(), 98);
    bar.SetValue(100);
    bar.SetValue(0);
    EXPECT_EQ(window.events, (Lines{"P:98", "P:100", "P:0"}));
}

// Whatever a statement meets, it costs that statement only: the run never ends early.
TEST(ErrorRule, AnyFailureAbandonsOnlyItsStatement) {
    const std::vector<std::function<int()>> failures = {
        []() -> int { throw PlatformError("the computer"); },
        []() -> int { throw std::bad_alloc(); },
        [] { return static_cast<int>(std::string("short").at(10)); },
    };
    for (const auto& fail : failures) {
        int after = 0;
        Attempt([&] { after = fail() + 1; });
        EXPECT_EQ(after, 0);
        EXPECT_FALSE(Holds([&] { return fail() >= 0 || true; }));
        EXPECT_TRUE(Collection([&] { return std::vector<int>{fail()}; }).empty());
    }
}

}  // namespace
}  // namespace quimbro::test
