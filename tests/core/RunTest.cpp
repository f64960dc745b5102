// Whole runs through Form1 against fake computers, compared whole with the expected files:
// the report log, the window (lines "L:", top-line requests "T:", bar values "P:", and
// "ended:" where the run waited for a capture), the buttons, the captures and the copied tree.
#include <gtest/gtest.h>

#include "app/Form1.h"
#include "app/Messages.h"
#include "app/Utility.h"
#include "core/RichComputer.h"
#include "core/TempFolder.h"
#include "fakes/FakeWindow.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

class RunTest : public ::testing::Test {
  protected:
    RunTest() {
        rich.pc.commandEnded = [this](const std::string& command) {
            window.events.push_back("ended:" + command);
        };
    }

    fs::path Output() const { return rich.desktop / "QuimbroOutput"; }
    fs::path Report() const { return Output() / "Quimbro_1252026_34934.log"; }

    TempFolder temp;
    RichComputer rich{temp.path()};
    FakeWindow window;
    Form1 form{rich.pc.computer(), window};
};

TEST_F(RunTest, ReadyStateAfterLoad) {
    form.Form_Load();
    // The run's window begins with what the load shows, up to the emptied bar.
    auto load = ExpectedLines("rich-run.txt");
    load.resize(std::find(load.begin(), load.end(), "P:0") - load.begin() + 1);
    EXPECT_EQ(window.events, load);
    EXPECT_TRUE(window.startEnabled);
    EXPECT_TRUE(window.cancelEnabled);
    EXPECT_EQ(form.Run().MessageCount, 0);
}

TEST_F(RunTest, RichComputerGivesTheWholeReport) {
    form.Form_Load();
    form.Start_Click();

    ExpectSameLines(ReportLines(Report()), ExpectedLines("rich-report.txt"));
    ExpectSameLines(window.events, ExpectedLines("rich-run.txt"));
    EXPECT_FALSE(window.startEnabled);
    EXPECT_TRUE(window.cancelEnabled);
    EXPECT_FALSE(window.unloaded);
    EXPECT_EQ(TreeOf(Output()), ExpectedLines("rich-output-tree.txt"));
    EXPECT_EQ(ReadFile(Output() / "AlmanBoard/logs/2026/old.log"),
              "contents of AlmanBoard/logs/2026/old.log");

    const auto windows = rich.desktop.string() + "\\QuimbroOutput\\windows\\";
    EXPECT_EQ(rich.pc.commandLines,
              (std::vector<std::string>{
                  "cmd /C ipconfig.exe /all > \"" + windows + "ipconfig_1252026_34934.log\"",
                  "cmd /C netstat -a > \"" + windows + "netstat_1252026_34934.log\"",
                  "cmd /C net start > \"" + windows + "services_1252026_34934.log\""}));
    EXPECT_EQ(ReadFile(Output() / "windows/netstat_1252026_34934.log"), "netstat -a output\r\n");
    EXPECT_EQ(rich.pc.administratorsAskedFor, (std::vector<std::string>{"QUIMBROPC"}));
}

TEST_F(RunTest, ADesktopTheRedirectionWouldMisreadGetsItsCapturesAsStandardOutput) {
    const auto desktop = rich.root / "Users" / "Bureau Ωmega %USERNAME%";
    fs::create_directories(desktop);
    rich.pc.desktop = desktop.string();
    form.Start_Click();
    EXPECT_EQ(rich.pc.commandLines,
              (std::vector<std::string>{"cmd /C ipconfig.exe /all", "cmd /C netstat -a",
                                        "cmd /C net start"}));
    EXPECT_EQ(ReadFile(desktop / "QuimbroOutput/windows/services_1252026_34934.log"),
              "net start output\r\n");
}

TEST_F(RunTest, AnOldTreeIsReplacedAndItsLinkTargetKept) {
    WriteFile(Output() / "Quimbro_old.log", "old report");
    WriteFile(Output() / "AlmanBoard/logs/stale.log", "stale");
    WriteFile(temp.path() / "elsewhere/keep.txt", "keep");
    fs::create_directory_symlink(temp.path() / "elsewhere", Output() / "linked");

    form.Form_Load();
    form.Start_Click();

    // One more progress step than the bar can show: the last one is refused.
    ExpectSameLines(window.events, ExpectedLines("rich-run-old-tree.txt"));
    EXPECT_EQ(TreeOf(Output()), ExpectedLines("rich-output-tree.txt"));
    EXPECT_EQ(ReadFile(temp.path() / "elsewhere/keep.txt"), "keep");
    ExpectSameLines(ReportLines(Report()), ExpectedLines("rich-report.txt"));
}

TEST_F(RunTest, ProductFoldersInAnotherLetterCaseAreStillCollected) {
    const auto upper = temp.path() / "APPS";
    fs::rename(temp.path() / "Apps", upper);
    fs::rename(upper / "Vantorel", upper / "VANTOREL");
    fs::rename(upper / "VANTOREL/Kestova", upper / "VANTOREL/kestova");
    fs::rename(upper / "VANTOREL/AlmanBoard", upper / "VANTOREL/ALMANBOARD");
    rich.pc.registry["HKLM\\Software\\Vantorel Software\\Kestova\\4.0\\InstallDirectory"] =
        std::string("\\apps\\vantorel\\KESTOVA\\");

    form.Form_Load();
    form.Start_Click();

    EXPECT_EQ(TreeOf(Output()), ExpectedLines("rich-output-tree.txt"));
}

TEST_F(RunTest, EmptyComputerStillGivesEverySection) {
    TempFolder emptyRoot;
    FakeComputer empty(emptyRoot.path());
    fs::create_directories(emptyRoot.path() / "Desktop");
    empty.desktop = (emptyRoot.path() / "Desktop").string();
    FakeWindow emptyWindow;
    Form1 emptyForm(empty.computer(), emptyWindow);

    emptyForm.Form_Load();
    emptyForm.Start_Click();

    const auto output = emptyRoot.path() / "Desktop/QuimbroOutput";
    ExpectSameLines(ReportLines(output / "Quimbro_1252026_34934.log"),
                    ExpectedLines("empty-report.txt"));
    // No install directory: the label, then an empty line, and every copy still announced.
    const auto& lines = emptyWindow.lines;
    const auto label = std::find(lines.begin(), lines.end(), "Kestova install directory:");
    ASSERT_NE(label, lines.end());
    EXPECT_EQ(*(label + 1), "");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("Copying "); }),
              10);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("OS "); }),
              0);
    EXPECT_EQ(lines.back(), std::string(62, '*'));
    EXPECT_EQ(emptyWindow.events.back(), "P:100");
    // The captures are run even though nothing else can be read.
    EXPECT_EQ(empty.commandLines.size(), 3u);
}

TEST_F(RunTest, ExitBeforeStartLeavesTheDesktopUntouched) {
    form.Form_Load();
    form.Cancel_Click();
    EXPECT_TRUE(window.unloaded);
    EXPECT_TRUE(fs::is_empty(rich.desktop));
    EXPECT_TRUE(rich.pc.commandLines.empty());
}

TEST_F(RunTest, OnlyTheSevenNamesRunTheGatherers) {
    const struct {
        const char* name;
        bool runs;
    } cases[] = {
        {"Windows 2000 Professional", true},
        {"Windows 2000 Server", true},
        {"Windows 2000 Advanced Server", true},
        {"Windows 2000 DataCenter Server", true},
        {"Windows .NET Server", true},
        {"Windows .NET Enterprise Server", true},
        {"Windows NT 4", true},
        {"windows 2000 professional", false},
        {"Windows 2000 Professional ", false},
        {"Windows XP", false},
        {"", false},
    };
    for (const auto& c : cases) {
        TempFolder root;
        RichComputer computer(root.path());
        FakeWindow w;
        RunContext run(computer.pc.computer(), w);
        InitializeRun(run);
        CreateOutputFolders(run);
        OpenLogFile(run);
        RunGatherers(run, c.name);
        CloseLogFile(run);
        const auto report =
            ReportLines(computer.desktop / "QuimbroOutput/Quimbro_1252026_34934.log");
        EXPECT_EQ(report.empty(), !c.runs) << c.name;
        EXPECT_EQ(computer.pc.commandLines.empty(), !c.runs) << c.name;
    }
}

TEST_F(RunTest, EnvironmentNumbersAreWrittenWhole) {
    auto& system = rich.pc.environment["SYSTEM"];
    system.clear();
    for (int i = 1; i <= 10001; ++i) system.push_back("V" + std::to_string(i) + "=x");
    form.Start_Click();
    const auto report = ReportLines(Report());
    const auto first = std::find(report.begin(), report.end(), "1 V1=x");
    ASSERT_NE(first, report.end());
    EXPECT_EQ(*(first + 9999), "10000 V10000=x");
    EXPECT_EQ(*(first + 10000), "10001 V10001=x");
}

TEST_F(RunTest, ScrollRequestsStopCountingAtTheLargestCount) {
    RunContext run(rich.pc.computer(), window);
    run.MessageCount = 32766;
    for (int i = 0; i < 3; ++i) ScrollMessageList(run);
    EXPECT_EQ(window.events, (std::vector<std::string>{"T:32766", "T:32767", "T:32767"}));
    EXPECT_EQ(run.MessageCount, 32767);
}

}  // namespace
}  // namespace quimbro::test
