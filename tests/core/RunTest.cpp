// Runs through Form1 beside the rich runs' cases: the Windows names that run the gatherers, long
// environments and the message list's scrolling.
#include <gtest/gtest.h>

#include "app/Form1.h"
#include "app/Messages.h"
#include "app/Utility.h"
#include "core/Fixtures.h"
#include "fakes/FakeWindow.h"

namespace quimbro::test {
namespace {

class RunTest : public ::testing::Test {
  protected:
    TempFolder temp;
    RichComputer rich{temp.path()};
    FakeWindow window;
    Form1 form{rich.pc.computer(), window};
};

TEST_F(RunTest, OnlyTheSevenWindowsNamesRunTheGatherers) {
    for (const auto& row : Table("core/windows-names.txt")) {
        RunContext run(rich.pc.computer(), window);
        InitializeRun(run);
        const auto before = window.events.size();
        RunGatherers(run, row[0]);
        EXPECT_EQ(window.events.size() > before, row[1] == "yes") << row[0];
    }
}

TEST_F(RunTest, EnvironmentNumbersAreWrittenWhole) {
    auto& system = rich.pc.environment["SYSTEM"];
    system.clear();
    for (int i = 1; i <= 10001; ++i) system.push_back("V" + std::to_string(i) + "=x");
    form.Start_Click();
    const auto report = ReportLines(rich.desktop / "QuimbroOutput" / kReport);
    const auto first = std::find(report.begin(), report.end(), "1 V1=x");
    ASSERT_LT(first + 10000, report.end());
    EXPECT_EQ(*(first + 9999), "10000 V10000=x");
    EXPECT_EQ(*(first + 10000), "10001 V10001=x");
}

TEST_F(RunTest, ScrollRequestsStopCountingAtTheLargestCount) {
    RunContext run(rich.pc.computer(), window);
    run.MessageCount = 32766;
    for (int i = 0; i < 3; ++i) ScrollMessageList(run);
    EXPECT_EQ(window.events, (Lines{"T:32766", "T:32767", "T:32767"}));
    EXPECT_EQ(run.MessageCount, 32767);
}

}  // namespace
}  // namespace quimbro::test
