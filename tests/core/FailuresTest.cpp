// What each kind of failure leaves out of a run on the rich computer, and nothing more.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/Form1.h"
#include "core/Fixtures.h"
#include "fakes/FakeWindow.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

struct Outcome {
    Lines report, events, tree;
};

Outcome RunOn(RichComputer& rich, const fs::path& output) {
    FakeWindow window;
    Form1 form(rich.pc.computer(), window);
    form.Form_Load();
    form.Start_Click();
    return {ReportLines(output / kReport), window.events,
            fs::exists(output) ? TreeOf(output) : Lines{}};
}

// The run on the untouched rich computer, once; its lines outlive its output folder.
const Outcome& Reference() {
    static const Outcome reference = [] {
        TempFolder root;
        RichComputer rich(root.path());
        return RunOn(rich, rich.desktop / "QuimbroOutput");
    }();
    return reference;
}

// One failure of tests/data/core/failures.txt.
void Fail(FakeComputer& pc, const Lines& f) {
    const auto& what = f[0];
    const auto node = [&]() -> FakeMetabaseNode& {
        return pc.metabase.at("IIS://QUIMBROPC/" + f[1]);
    };
    if (what == "commands")
        pc.commandsStartable = false;
    else if (what == "registry" && f.size() == 2)
        pc.registry.erase(f[1]);
    else if (what == "registry")
        pc.registry[f[1]] = ValueOf(f[2]);
    else if (what == "user")
        pc.userName.reset();
    else if (what == "environment")
        pc.environment.erase(f[1]);
    else if (what == "processes")
        pc.processes.reset();
    else if (what == "process-name")
        pc.processes->at(std::stoul(f[1])).name.reset();
    else if (what == "process-id")
        pc.processes->at(std::stoul(f[1])).id.reset();
    else if (what == "administrators")
        pc.administrators.reset();
    else if (what == "administrator")
        pc.administrators->at(std::stoul(f[1])).reset();
    else if (what == "metabase")
        pc.metabase.clear();
    else if (what == "unbindable")
        node().bindable = false;
    else if (what == "unlistable")
        node().childrenReadable = false;
    else if (what == "property")
        SetProperty(node(), f[2]);
    else
        FAIL() << "no failure " << what;
}

// An edit of the rich run's lines: from `first` up to, not including, the next line `end` (or
// `first` alone for ".") becomes the lines added.
void Apply(Lines cut, Lines& lines) {
    for (auto& field : cut)
        for (std::size_t at; (at = field.find("\\t")) != std::string::npos;)
            field.replace(at, 2, "\t");
    const auto from = std::find(lines.begin(), lines.end(), cut[1]);
    ASSERT_NE(from, lines.end()) << "no line " << cut[1];
    const auto to = cut[2] == "." ? from + 1 : std::find(from, lines.end(), cut[2]);
    ASSERT_TRUE(cut[2] == "." || to != lines.end()) << "no line " << cut[2];
    lines.insert(lines.erase(from, to), cut.begin() + 3, cut.end());
}

TEST(Failures, EachLeavesOutExactlyItsOwnLines) {
    const auto& reference = Reference();
    const auto rows = Table("core/failures.txt");
    for (auto row = rows.begin(); row != rows.end();) {
        SCOPED_TRACE(row->at(1));
        TempFolder root;
        RichComputer computer(root.path());
        auto expected = reference;
        for (++row; row != rows.end() && row->at(0) != "case"; ++row)
            if (row->at(0) == "report" || row->at(0) == "window")
                Apply(*row, row->at(0) == "report" ? expected.report : expected.events);
            else
                Fail(computer.pc, *row);
        const auto outcome = RunOn(computer, computer.desktop / "QuimbroOutput");
        ExpectSameLines(outcome.report, expected.report);
        ExpectSameLines(outcome.events, expected.events);
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
    const auto outcome = RunOn(rich, temp.path() / "QuimbroOutput");
    EXPECT_EQ(outcome.report, reference.report);
    EXPECT_EQ(outcome.tree, reference.tree);
    EXPECT_EQ(
        rich.pc.commandLines[0],
        "cmd /C ipconfig.exe /all > \"\\QuimbroOutput\\windows\\ipconfig_1252026_34934.log\"");
}

TEST_F(RunWorkspaceFailures, NoReportLogWhenItsFolderIsMissing) {
    rich.pc.refusedFolders = {"/QuimbroOutput"};
    const auto outcome = RunOn(rich, rich.desktop / "QuimbroOutput");
    EXPECT_TRUE(outcome.tree.empty() && outcome.report.empty());
    // Every message is still shown, in the same places.
    EXPECT_EQ(outcome.events, reference.events);
}

TEST_F(RunWorkspaceFailures, AScriptHostThatCannotBeCreatedLeavesNoRegistryValues) {
    rich.pc.shellCreatable = false;
    // No desktop either: the output lies at the drive root, with no captures and no copies.
    const auto outcome = RunOn(rich, temp.path() / "QuimbroOutput");
    ExpectSameLines(outcome.report, ExpectedLines("no-script-host-report.txt"));
    EXPECT_EQ(outcome.tree, ExpectedLines("no-script-host-tree.txt"));
    EXPECT_TRUE(rich.pc.commandLines.empty());
}

TEST_F(RunWorkspaceFailures, WithoutAnInstallDirectoryOnlyTheFoldersAreMade) {
    rich.pc.registry.erase("HKLM\\Software\\Vantorel Software\\Kestova\\4.0\\InstallDirectory");
    const auto outcome = RunOn(rich, rich.desktop / "QuimbroOutput");
    EXPECT_EQ(outcome.tree, ExpectedLines("no-install-tree.txt"));
    EXPECT_EQ(outcome.report, reference.report);
}

TEST(FolderFailures, AFolderThatCannotBeCreatedLosesOnlyWhatGoesInIt) {
    for (const std::string lost : {"AlmanBoard", "windows"}) {  // windows: the three captures
        SCOPED_TRACE(lost);
        TempFolder root;
        RichComputer rich(root.path());
        rich.pc.refusedFolders = {"/QuimbroOutput/" + lost};
        const auto outcome = RunOn(rich, rich.desktop / "QuimbroOutput");
        auto tree = Reference().tree;
        std::erase_if(tree, [&](const std::string& p) { return p.starts_with(lost + "/"); });
        EXPECT_EQ(outcome.tree, tree);
        EXPECT_EQ(outcome.report, Reference().report);
        EXPECT_EQ(rich.pc.commandLines.size(), 3u);
    }
}

}  // namespace
}  // namespace quimbro::test
