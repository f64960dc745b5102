// Runs on the rich computer, each compared whole with the expected files as the cases of
// tests/data/core/rich-runs.txt change them: every failure leaves out exactly its own lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/Form1.h"
#include "core/Fixtures.h"
#include "fakes/FakeWindow.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

const std::string kIis = "IIS://QUIMBROPC/";

// The report log, the window's events ("ended:" where the run waited for a capture) and its
// buttons after the run, the output tree wherever the run put it (on the desktop or at the drive
// root), and the command lines with "<root>" for the drive root.
using Outcome = std::map<std::string, Lines>;

Outcome RunOn(RichComputer& rich) {
    FakeWindow window;
    rich.pc.commandEnded = [&](const std::string& command) {
        window.events.push_back("ended:" + command);
    };
    Form1 form(rich.pc.computer(), window);
    form.Form_Load();
    form.Start_Click();
    auto output = fs::path(rich.pc.desktop.value_or("")) / "QuimbroOutput";
    if (!fs::exists(output)) output = rich.root / "QuimbroOutput";
    auto commands = rich.pc.commandLines;
    for (auto& line : commands)
        if (const auto at = line.find(rich.root.string()); at != std::string::npos)
            line.replace(at, rich.root.string().size(), "<root>");
    const auto state = [](bool enabled) { return enabled ? "enabled" : "disabled"; };
    return {{"report", ReportLines(output / kReport)},
            {"window", window.events},
            {"buttons",
             {std::string("Start ") + state(window.start.enabled),
              std::string("Exit ") + state(window.cancel.enabled),
              window.unloaded ? "unloaded" : "shown"}},
            {"tree", fs::exists(output) ? TreeOf(output) : Lines{}},
            {"commands", commands}};
}

// One change to the rich computer before its run.
void Change(RichComputer& rich, const Lines& f) {
    auto& pc = rich.pc;
    const auto node = [&]() -> FakeMetabaseNode& { return pc.metabase.at(kIis + f[1]); };
    const auto n = [&] { return std::stoul(f[1]); };
    const std::map<std::string, std::function<void()>> changes = {
        {"unstartable", [&] { pc.commandsStartable = false; }},
        {"nothing",
         [&] {
             pc.registry.clear();
             pc.environment.clear();
             pc.metabase.clear();
             pc.userName = pc.computerName = pc.userDomain = std::nullopt;
             pc.processes.reset();
             pc.administrators.reset();
         }},
        {"shell", [&] { pc.shellCreatable = false; }},
        {"desktop", [&] { pc.desktop.reset(); }},
        {"desktop-at",
         [&] { fs::create_directories(*(pc.desktop = (rich.root / f[1]).string())); }},
        {"file", [&] { WriteFile(rich.root / f[1], f[2]); }},
        {"link", [&] { fs::create_directory_symlink(rich.root / f[2], rich.root / f[1]); }},
        {"rename", [&] { fs::rename(rich.root / f[1], rich.root / f[2]); }},
        {"refuse", [&] { pc.refusedFolders[f[1]] = f.size() > 2 ? std::stoi(f[2]) : 1 << 30; }},
        {"registry", [&] { pc.registry.erase(f[1]); }},
        {"value", [&] { pc.registry[f[1]] = ValueOf(f[2]); }},
        {"user", [&] { pc.userName.reset(); }},
        {"environment", [&] { pc.environment.erase(f[1]); }},
        {"processes", [&] { pc.processes.reset(); }},
        {"process-name", [&] { pc.processes->at(n()).name.reset(); }},
        {"process-id", [&] { pc.processes->at(n()).id.reset(); }},
        {"administrators", [&] { pc.administrators.reset(); }},
        {"administrator", [&] { pc.administrators->at(n()).reset(); }},
        {"metabase", [&] { pc.metabase.clear(); }},
        {"unbindable", [&] { node().bindable = false; }},
        {"unlistable", [&] { node().childrenReadable = false; }},
        {"property", [&] { SetProperty(node(), f[2]); }},
    };
    const auto change = changes.find(f[0]);
    ASSERT_NE(change, changes.end()) << "no change " << f[0];
    change->second();
}

// An edit of the rich run's lines: from `first` up to, not including, the next line `end` (or
// `first` alone for ".") becomes the lines added.
void Apply(Lines cut, Lines& lines) {
    ASSERT_GE(cut.size(), 3u) << cut[0] << " without its lines";
    for (auto& field : cut)
        for (std::size_t at; (at = field.find("\\t")) != std::string::npos;)
            field.replace(at, 2, "\t");
    const auto from = std::find(lines.begin(), lines.end(), cut[1]);
    ASSERT_NE(from, lines.end()) << "no line " << cut[1];
    const auto to = cut[2] == "." ? from + 1 : std::find(from, lines.end(), cut[2]);
    ASSERT_TRUE(cut[2] == "." || to != lines.end()) << "no line " << cut[2];
    lines.insert(lines.erase(from, to), cut.begin() + 3, cut.end());
}

TEST(RichRuns, EachCaseChangesExactlyItsOwnLines) {
    const auto rows = Table("core/rich-runs.txt");
    for (auto row = rows.begin(); row != rows.end();) {
        SCOPED_TRACE(row->at(1));
        TempFolder root;
        RichComputer rich(root.path());
        Outcome expected = {{"report", ExpectedLines("rich-report.txt")},
                            {"window", ExpectedLines("rich-run.txt")},
                            {"buttons", {"Start disabled", "Exit enabled", "shown"}},
                            {"tree", ExpectedLines("rich-output-tree.txt")},
                            {"commands", ExpectedLines("rich-commands.txt")}};
        std::vector<Lines> kept;
        for (++row; row != rows.end() && row->at(0) != "case"; ++row) {
            const auto& what = row->at(0);
            if (expected.count(what))
                Apply(*row, expected[what]);
            else if (what.ends_with("-file"))
                expected[what.substr(0, what.size() - 5)] = ExpectedLines(row->at(1));
            else if (what == "kept")
                kept.push_back(*row);
            else
                Change(rich, *row);
        }
        auto outcome = RunOn(rich);
        for (const auto& [what, lines] : expected) {
            SCOPED_TRACE(what);
            ExpectSameLines(outcome[what], lines);
        }
        for (const auto& file : kept) EXPECT_EQ(ReadFile(root.path() / file[1]), file[2]);
    }
}

}  // namespace
}  // namespace quimbro::test
