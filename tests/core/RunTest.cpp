// Whole runs through Form1 against fake computers, compared line by line: the report log,
// the message list with its scroll requests and progress steps, the buttons, the captures
// and the copied tree.
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

// What the window must see, built in the order of the run.
class ExpectedWindow {
  public:
    void Line(const std::string& text) { events.push_back("L:" + text); }
    void Scroll() { events.push_back("T:" + std::to_string(top_++)); }
    void Message(const std::string& text) {
        Line(text);
        Scroll();
    }
    // A step past 100 is refused and leaves no trace.
    void Step() {
        if (bar_ < 100) events.push_back("P:" + std::to_string(bar_ += 2));
    }
    void Full() { events.push_back("P:100"); }

    std::vector<std::string> events;

  private:
    int top_ = 0;
    int bar_ = 0;
};

void ExpectIntroduction(ExpectedWindow& w) {
    for (const auto* line : {"This utility gathers Tarnwick troubleshooting",
                             "information for Vantorel Technical Support. It requires",
                             "Windows 9x, NT, or 2000 and Internet Exporer 5.0 or", "greater."})
        w.Line(line);
    w.Line(std::string(66, '*'));
    w.Line("    NO CHANGES ARE MADE TO THE COMPUTER");
    w.Line(std::string(66, '*'));
    w.Line("");
    w.events.push_back("P:0");
}

// The window of a whole run on the rich computer.
std::vector<std::string> RichRunWindow(bool oldTree, const std::string& installDirectory) {
    ExpectedWindow w;
    ExpectIntroduction(w);
    w.Step();
    w.Message("Checking for existence of QuimbroOutput...");
    w.Step();
    if (oldTree) {
        w.Message("Found old QuimbroOutput folder, deleting it...");
        w.Step();
    }
    for (const auto* message : {
             "Creating \\QuimbroOutput...",
             "Creating \\QuimbroOutput\\AlmanBoard...",
             "Creating \\QuimbroOutput\\AlmanBoard\\bin...",
             "Creating \\QuimbroOutput\\jakarta-tomcat...",
             "Creating \\QuimbroOutput\\jakarta-tomcat\\bin...",
             "Creating \\QuimbroOutput\\jakarta-tomcat\\conf...",
             "Creating ~\\jakarta-tomcat\\webapps...",
             "Creating ~\\jakarta-tomcat\\webapps\\TarnApp...",
             "Creating ~\\webapps\\TarnApp\\WEB-INF...",
             "Creating ~\\webapps\\TarnApp\\WEB-INF\\classes...",
             "Creating \\QuimbroOutput\\windows...",
             "Creating \\QuimbroOutput\\Vantorel...",
             "Creating \\QuimbroOutput\\Vantorel\\KXSetup...",
             "Creating ~\\Vantorel\\Kestova...",
             "Creating ~\\Vantorel\\Kestova\\bin...",
             "Creating ~\\Vantorel\\Kestova\\TarnApp...",
             "Creating ~\\Kestova\\TarnApp\\projects...",
         }) {
        w.Message(message);
        w.Step();
    }
    w.Message("Opening Quimbro_1252026_34934.log");
    w.Step();
    w.Message("Reading Quimbro log file info...");
    w.Message("LOG NAME: Quimbro_1252026_34934.log");
    w.Message("Quimbro VERSION: 1.12122001");
    w.Message("LOG CREATION DATE: 12/5/2026");
    w.Message("LOG CREATION TIME: 3:49:34 AM");
    for (const auto* command : {"ipconfig /all", "netstat -a", "net start"}) {
        w.Message(std::string("Directing output of '") + command + "'...");
        w.Step();
    }
    w.Message("Reading Operating System info...");
    w.Message("OS NAME: Microsoft Windows 2000");
    w.Message("SERVICE PACK: Service Pack 2");
    w.Message("OS BUILD: 2195");
    w.Message("OS INSTALL DATE: 1007553600");
    w.Message("Reading Networking info...");
    w.Message("Reading system environment variables...");
    w.Step();
    w.Message("Reading user environment variables...");
    w.Message("Reading volatile environment variables...");
    w.Message("Reading running processes...");
    w.Message("Reading AlmanBoard Info...");
    w.Step();
    w.Message("Reading other Vantorel software info...");
    w.Step();
    w.Line("Finding Kestova installation directory...");
    w.Scroll();
    w.Step();
    w.Line("Kestova install directory:");
    w.Line(installDirectory);
    w.Scroll();
    w.Step();
    w.Message("Copying AnB logs...");
    w.Step();
    w.Step();
    for (const auto* message :
         {"Copying Jakarta-Tomcat logs...", "Copying ~\\AlmanBoard\\bin\\*.ini...",
          "Copying ~\\AlmanBoard\\bin\\*.cfg...", "Copying tomcat.bat...",
          "Copying ~\\jakarta-tomcat\\conf\\*.*...",
          "Copying ~\\TarnApp\\WEB-INF\\classes\\config.txt..."}) {
        w.Message(message);
        w.Step();
    }
    w.Message("Copying ~\\TarnApp\\projects\\catalog.txt...");
    w.Message("Copying Kestova\\bin\\error.log...");
    w.Step();
    w.Message("Copying KXSetup\\*.log...");
    w.Step();
    w.Step();
    w.Message("Reading Internet Explorer info...");
    w.Step();
    w.Message("Reading Netscape info...");
    w.Step();
    w.Message("Reading IIS info...");
    w.Step();
    w.Step();
    w.Step();
    w.Step();
    w.Step();
    for (const auto* message :
         {"Reading JRE info...", "Reading MS Office info...", "Reading DBMS info..."}) {
        w.Message(message);
        w.Step();
    }
    // The captures ran alongside; the run waits for them before it closes the log.
    for (const auto* command : {"ipconfig.exe /all", "netstat -a", "net start"})
        w.events.push_back(std::string("ended:") + command);
    w.Message("Closing Quimbro_1252026_34934.log");
    w.Step();
    w.Message("");
    w.Message(std::string(62, '*'));
    w.Message("Quimbro has finished successfully! On your");
    w.Message("desktop please find the folder named");
    w.Message("'QuimbroOutput'.  Zip and email it to Vantorel");
    w.Message("Technical Support.  Thanks!");
    w.Message(std::string(62, '*'));
    w.Full();
    return w.events;
}

class RunTest : public ::testing::Test {
  protected:
    RunTest() {
        rich.pc.commandEnded = [this](const std::string& command) {
            window.events.push_back("ended:" + command);
        };
    }

    fs::path Output() const { return rich.desktop / "QuimbroOutput"; }
    fs::path Report() const { return Output() / "Quimbro_1252026_34934.log"; }
    std::string InstallDirectory() const { return rich.products.string() + "\\Kestova"; }

    TempFolder temp;
    RichComputer rich{temp.path()};
    FakeWindow window;
    Form1 form{rich.pc.computer(), window};
};

TEST_F(RunTest, ReadyStateAfterLoad) {
    form.Form_Load();
    ExpectedWindow w;
    ExpectIntroduction(w);
    EXPECT_EQ(window.events, w.events);
    EXPECT_TRUE(window.startEnabled);
    EXPECT_TRUE(window.cancelEnabled);
    EXPECT_EQ(form.Run().MessageCount, 0);
}

TEST_F(RunTest, RichComputerGivesTheWholeReport) {
    form.Form_Load();
    form.Start_Click();

    ExpectSameLines(ReportLines(Report()), ExpectedLines("rich-report.txt"));
    ExpectSameLines(window.events, RichRunWindow(false, InstallDirectory()));
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
    ExpectSameLines(window.events, RichRunWindow(true, InstallDirectory()));
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
        (temp.path() / "apps").string() + "\\vantorel\\KESTOVA\\";

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
