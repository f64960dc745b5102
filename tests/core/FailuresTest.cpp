// What each kind of failure leaves out of a run on the rich computer, and nothing more.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "app/Form1.h"
#include "core/RichComputer.h"
#include "core/TempFolder.h"
#include "fakes/FakeWindow.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kNt = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\";
const std::string kMeta = "IIS://QUIMBROPC/W3SVC";

struct Outcome {
    Lines report;
    Lines events;
    fs::path output;
};

Lines ReportIn(const fs::path& output) {
    return ReportLines(output / "Quimbro_1252026_34934.log");
}

Outcome RunOn(RichComputer& rich) {
    FakeWindow window;
    Form1 form(rich.pc.computer(), window);
    form.Form_Load();
    form.Start_Click();
    Outcome outcome{{}, window.events, rich.desktop / "QuimbroOutput"};
    outcome.report = ReportIn(outcome.output);
    return outcome;
}

// The run on the untouched rich computer, once; its lines outlive its output folder.
const Outcome& Reference() {
    static const Outcome reference = [] {
        TempFolder root;
        RichComputer rich(root.path());
        return RunOn(rich);
    }();
    return reference;
}

// An edit of the rich run's lines: from the line `first` up to, not including, the next line
// `end` (or `first` alone) becomes `added`.
struct Cut {
    std::string first;
    std::optional<std::string> end = {};
    Lines added = {};
};

void Apply(const std::vector<Cut>& cuts, Lines& lines) {
    for (const auto& cut : cuts) {
        const auto from = std::find(lines.begin(), lines.end(), cut.first);
        ASSERT_NE(from, lines.end()) << "no line " << cut.first;
        const auto to = cut.end ? std::find(from, lines.end(), *cut.end) : from + 1;
        ASSERT_TRUE(!cut.end || to != lines.end()) << "no line " << *cut.end;
        lines.insert(lines.erase(from, to), cut.added.begin(), cut.added.end());
    }
}

const std::string kLegend = "---Access Permission Values---";

struct FailureCase {
    const char* what;
    std::function<void(RichComputer&)> fail;
    std::vector<Cut> report;       // the rich report, edited
    std::vector<Cut> window = {};  // the rich run's window events, edited
};

const FailureCase kCases[] = {
    {"commands that cannot be started change nothing else",
     [](RichComputer& r) { r.pc.commandsStartable = false; },
     {}},
    {"a missing registry value leaves out its line, on screen too",
     [](RichComputer& r) { r.pc.registry.erase(kNt + "CSDVersion"); },
     {{"SERVICE PACK: Service Pack 2"}},
     {{"L:SERVICE PACK: Service Pack 2"}}},
    {"a list value cannot be joined",
     [](RichComputer& r) {
         r.pc.registry[kNt + "ProductName"] = TextList{"a", "b"};
     },
     {{"OS NAME: Microsoft Windows 2000"}},
     {{"L:OS NAME: Microsoft Windows 2000"}}},
    {"raw bytes cannot be joined",
     [](RichComputer& r) {
         r.pc.registry["HKLM\\Software\\Netscape\\Netscape Navigator\\CurrentVersion"] =
             Bytes{1, 2};
     },
     {{"Version: 4.7 (en)"}}},
    {"an empty string leaves the label alone",
     [](RichComputer& r) { r.pc.registry[kNt + "CurrentBuildNumber"] = std::string(); },
     {{"OS BUILD: 2195", {}, {"OS BUILD: "}}},
     {{"L:OS BUILD: 2195", {}, {"L:OS BUILD: "}}}},
    {"an install date of zero is the digit 0",
     [](RichComputer& r) { r.pc.registry[kNt + "InstallDate"] = std::int64_t{0}; },
     {{"OS INSTALL DATE: 1007553600", {}, {"OS INSTALL DATE: 0"}}},
     {{"L:OS INSTALL DATE: 1007553600", {}, {"L:OS INSTALL DATE: 0"}}}},
    {"an unreadable user name",
     [](RichComputer& r) { r.pc.userName.reset(); },
     {{"WINDOWS USERNAME: jsmith"}}},
    {"an environment class that cannot be obtained",
     [](RichComputer& r) { r.pc.environment.erase("USER"); },
     {{"1 TEMP=%USERPROFILE%\\Local Settings\\Temp"},
      {"2 TMP=%USERPROFILE%\\Local Settings\\Temp"}}},
    {"WMI that cannot be bound",
     [](RichComputer& r) { r.pc.processes.reset(); },
     {{"System Idle Process\t\t0", ""}}},
    {"processes whose name or identifier cannot be read",
     [](RichComputer& r) {
         (*r.pc.processes)[1].name.reset();
         (*r.pc.processes)[2].id.reset();
     },
     {{"System\t\t8"}, {"java.exe\t\t1312"}}},
    {"a member whose name cannot be read",
     [](RichComputer& r) { (*r.pc.administrators)[0].reset(); },
     {{"Administrator"}}},
    {"an administrators group that cannot be found",
     [](RichComputer& r) { r.pc.administrators.reset(); },
     {{"Administrator"}, {"Domain Admins"}}},
    {"an unreachable metabase",
     [](RichComputer& r) { r.pc.metabase.clear(); },
     {{"Website ID: 1(Default Web Site)",
       kLegend,
       {"Unable to connect to the IIS Metabase on QUIMBROPC",
        "IIS 5.0 may not be installed on this computer."}},
      {"Filter Load Order: sspifilt,Compression", "*********"}}},
    {"a site whose root cannot be bound",
     [](RichComputer& r) { r.pc.metabase[kMeta + "/1/Root"].bindable = false; },
     {{"Access Permissions: 513"},
      {"Anonymous User: IUSR_QUIMBROPC", ""},
      {"Virtual Directory: TarnApp", "Website ID: 2(Intranet)"}}},
    {"a site whose root's directories cannot be enumerated",
     [](RichComputer& r) { r.pc.metabase[kMeta + "/1/Root"].childrenReadable = false; },
     {{"Virtual Directory: TarnApp", "Website ID: 2(Intranet)"}}},
    {"a site whose filters cannot be bound",
     [](RichComputer& r) { r.pc.metabase[kMeta + "/1/Filters"].bindable = false; },
     {{"Filter Load Order: sspifilt,Compression"},
      {"Filter Name: sspifilt", "Filter Load Order: "}}},
    {"a site comment that cannot be read",
     [](RichComputer& r) { r.pc.metabase[kMeta + "/1"].properties.erase("ServerComment"); },
     {{"Website ID: 1(Default Web Site)"}}},
    {"bindings that are not a list",
     [](RichComputer& r) {
         r.pc.metabase[kMeta + "/1"].properties["ServerBindings"] = std::string(":80:");
     },
     {{"Port: :80:"}, {"Port: 10.0.0.5:8080:intranet"}}},
    {"a filter state that cannot be read is Red",
     [](RichComputer& r) {
         r.pc.metabase[kMeta + "/1/Filters/sspifilt"].properties.erase("FilterState");
     },
     {{"Filter State: Green", {}, {"Filter State: Red"}}}},
    {"a web service child whose name cannot be read is no site",
     [](RichComputer& r) { r.pc.metabase[kMeta + "/2"].properties.erase("Name"); },
     {{"Website ID: 2(Intranet)", kLegend}, {"Filter Load Order: ", "*********"}}},
};

TEST(Failures, EachLeavesOutExactlyItsOwnLines) {
    const auto& reference = Reference();
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        TempFolder root;
        RichComputer computer(root.path());
        c.fail(computer);
        const auto outcome = RunOn(computer);
        auto report = reference.report;
        Apply(c.report, report);
        ExpectSameLines(outcome.report, report);
        auto events = reference.events;
        Apply(c.window, events);
        ExpectSameLines(outcome.events, events);
    }
}

class RunWorkspaceFailures : public ::testing::Test {
  protected:
    TempFolder temp;
    RichComputer rich{temp.path()};
    const Outcome& reference = Reference();
};

TEST_F(RunWorkspaceFailures, WithoutADesktopTheRunWritesAtTheDriveRoot) {
    rich.pc.desktop.reset();
    const auto outcome = RunOn(rich);
    const auto output = temp.path() / "QuimbroOutput";
    EXPECT_EQ(ReportIn(output), reference.report);
    EXPECT_EQ(TreeOf(output), ExpectedLines("rich-output-tree.txt"));
    EXPECT_EQ(
        rich.pc.commandLines[0],
        "cmd /C ipconfig.exe /all > \"\\QuimbroOutput\\windows\\ipconfig_1252026_34934.log\"");
}

TEST_F(RunWorkspaceFailures, NoReportLogWhenItsFolderIsMissing) {
    rich.pc.refusedFolders = {"\\QuimbroOutput"};
    const auto outcome = RunOn(rich);
    EXPECT_FALSE(fs::exists(outcome.output));
    // Every message is still shown, in the same places.
    EXPECT_EQ(outcome.events, reference.events);
}

TEST_F(RunWorkspaceFailures, AScriptHostThatCannotBeCreatedLeavesNoRegistryValues) {
    rich.pc.shellCreatable = false;
    const auto outcome = RunOn(rich);
    // No desktop either: the output lies at the drive root, with no captures and no copies.
    const auto output = temp.path() / "QuimbroOutput";
    EXPECT_TRUE(rich.pc.commandLines.empty());
    EXPECT_FALSE(fs::exists(output / "AlmanBoard/logs"));
    const auto report = ReadFile(output / "Quimbro_1252026_34934.log");
    EXPECT_EQ(report.find("OS NAME"), std::string::npos);
    EXPECT_NE(report.find("COMPUTER NAME: QUIMBROPC"), std::string::npos);
    EXPECT_NE(report.find("***Database Information***"), std::string::npos);
}

TEST_F(RunWorkspaceFailures, WithoutAnInstallDirectoryNothingIsCopied) {
    rich.pc.registry.erase("HKLM\\Software\\Vantorel Software\\Kestova\\4.0\\InstallDirectory");
    const auto outcome = RunOn(rich);
    auto tree = ExpectedLines("rich-output-tree.txt");
    // Only the captures, the report and the folders that are made whatever is copied stay.
    std::erase_if(tree, [](const std::string& p) {
        return p.ends_with("/") ? p.starts_with("AlmanBoard/log") || p == "jakarta-tomcat/logs/"
                                : !p.starts_with("windows/") && !p.starts_with("Quimbro_");
    });
    EXPECT_EQ(TreeOf(outcome.output), tree);
    EXPECT_EQ(outcome.report, reference.report);
}

TEST(FolderFailures, AFolderThatCannotBeCreatedLosesOnlyWhatGoesInIt) {
    const auto& reference = Reference();
    const struct {
        const char* refused;
        const char* lost;  // the part of the tree that goes into it
    } cases[] = {
        {"\\QuimbroOutput\\AlmanBoard", "AlmanBoard/"},
        {"\\QuimbroOutput\\windows", "windows/"},  // the three captures
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        TempFolder root;
        RichComputer rich(root.path());
        rich.pc.refusedFolders = {c.refused};
        const auto outcome = RunOn(rich);
        auto tree = ExpectedLines("rich-output-tree.txt");
        std::erase_if(tree, [&](const std::string& p) { return p.starts_with(c.lost); });
        EXPECT_EQ(TreeOf(outcome.output), tree);
        EXPECT_EQ(outcome.report, reference.report);
        EXPECT_EQ(rich.pc.commandLines.size(), 3u);
    }
}

}  // namespace
}  // namespace quimbro::test
