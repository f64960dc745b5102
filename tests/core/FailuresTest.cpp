// What each kind of failure leaves out of a run on the rich computer, and nothing more: the
// cases of tests/data/core/failures.txt.
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

// The report log, the window's events and the output tree, wherever the run put them: on the
// desktop or at the drive root.
using Outcome = std::map<std::string, Lines>;

Outcome RunOn(RichComputer& rich) {
    FakeWindow window;
    Form1 form(rich.pc.computer(), window);
    form.Form_Load();
    form.Start_Click();
    auto output = rich.desktop / "QuimbroOutput";
    if (!fs::exists(output)) output = rich.root / "QuimbroOutput";
    return {{"report", ReportLines(output / kReport)},
            {"window", window.events},
            {"tree", fs::exists(output) ? TreeOf(output) : Lines{}}};
}

void Fail(FakeComputer& pc, const Lines& f) {
    const auto node = [&]() -> FakeMetabaseNode& { return pc.metabase.at(kIis + f[1]); };
    const auto n = [&] { return std::stoul(f[1]); };
    const std::map<std::string, std::function<void()>> failures = {
        {"commands", [&] { pc.commandsStartable = false; }},
        {"shell", [&] { pc.shellCreatable = false; }},
        {"desktop", [&] { pc.desktop.reset(); }},
        {"refuse", [&] { pc.refusedFolders.push_back(f[1]); }},
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
    failures.at(f[0])();
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
    const auto reference = [] {
        TempFolder root;
        RichComputer rich(root.path());
        return RunOn(rich);
    }();
    EXPECT_EQ(reference.at("tree"), ExpectedLines("rich-output-tree.txt"));
    const auto rows = Table("core/failures.txt");
    for (auto row = rows.begin(); row != rows.end();) {
        SCOPED_TRACE(row->at(1));
        TempFolder root;
        RichComputer computer(root.path());
        auto expected = reference;
        for (++row; row != rows.end() && row->at(0) != "case"; ++row) {
            const auto& what = row->at(0);
            if (expected.count(what))
                Apply(*row, expected[what]);
            else if (what.ends_with("-file"))
                expected[what.substr(0, what.size() - 5)] = ExpectedLines(row->at(1));
            else
                Fail(computer.pc, *row);
        }
        auto outcome = RunOn(computer);
        for (const auto& [what, lines] : expected) {
            SCOPED_TRACE(what);
            ExpectSameLines(outcome[what], lines);
        }
    }
}

}  // namespace
}  // namespace quimbro::test
