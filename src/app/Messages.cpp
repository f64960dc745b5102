#include "app/Messages.h"

#include <array>
#include <cstdint>
#include <limits>
#include <span>

namespace quimbro {

namespace {
const std::string kIntroStars(66, '*');
const std::string kFinishStars(62, '*');
}  // namespace

void ShowIntroMessage(RunContext& run) {
    const std::array<std::string_view, 8> intro = {
        "This utility gathers Tarnwick troubleshooting",
        "information for Vantorel Technical Support. It requires",
        "Windows 9x, NT, or 2000 and Internet Exporer 5.0 or",
        "greater.",
        kIntroStars,
        "    NO CHANGES ARE MADE TO THE COMPUTER",
        kIntroStars,
        "",
    };
    for (const auto line : intro) AddMessageLine(run, [&] { return std::string(line); });
}

void ShowFinishMessage(RunContext& run) {
    const std::array<std::string_view, 7> finished = {
        "",
        kFinishStars,
        "Quimbro has finished successfully! On your",
        "desktop please find the folder named",
        "'QuimbroOutput'.  Zip and email it to Vantorel",
        "Technical Support.  Thanks!",
        kFinishStars,
    };
    // Without a report log the output folder holds nothing worth sending.
    const std::array<std::string_view, 6> failed = {
        "",
        kFinishStars,
        "Quimbro could not write its results to the",
        "folder 'QuimbroOutput' on your desktop.",
        "Please call Vantorel Technical Support.",
        kFinishStars,
    };
    const auto closing =
        run.LogStream ? std::span<const std::string_view>(finished) : std::span(failed);
    for (const auto line : closing) ShowMessage(run, line);
    Attempt([&] {
        auto& bar = run.window.ProgressBar1();
        bar.SetValue(bar.Max());
    });
}

void ScrollMessageList(RunContext& run) {
    Attempt([&] { run.window.List1().SetTopIndex(run.MessageCount); });
    Attempt([&] {
        if (run.MessageCount == std::numeric_limits<std::int16_t>::max())
            throw PlatformError("message count overflow");
        ++run.MessageCount;
    });
}

void ShowMessage(RunContext& run, std::string_view text) {
    ShowMessage(run, [&] { return std::string(text); });
}

}  // namespace quimbro
