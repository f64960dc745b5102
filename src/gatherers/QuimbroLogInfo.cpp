#include "gatherers/QuimbroLogInfo.h"

#include "app/Messages.h"
#include "app/ReportLog.h"
#include "app/Utility.h"

namespace quimbro {

void WriteLogInfo(RunContext& run) {
    auto& clock = run.computer.clock;
    const auto version = [&] { return "Quimbro VERSION: " + run.ToolVersion; };
    const auto date = [&] { return "LOG CREATION DATE: " + clock.ShortDate(clock.Now()); };
    const auto time = [&] { return "LOG CREATION TIME: " + clock.TimeOfDay(clock.Now()); };

    ShowMessage(run, "Reading Quimbro log file info...");
    WriteBanner(run, "Quimbro Log");
    // The window says "LOG NAME: " where the file says "LOG FILE NAME: ".
    ShowMessage(run, [&] { return "LOG NAME: " + LogFileName(run); });
    WriteReportLine(run, [&] { return "LOG FILE NAME: " + LogFileName(run); });
    // Each window line and its file line read their value afresh.
    ShowMessage(run, version);
    WriteReportLine(run, version);
    ShowMessage(run, date);
    WriteReportLine(run, date);
    ShowMessage(run, time);
    WriteReportLine(run, time);
    WriteEmptyLine(run);
}

}  // namespace quimbro
