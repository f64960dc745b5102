#pragma once

#include <string>
#include <string_view>

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// Removes an old QuimbroOutput from the desktop and makes the empty tree of 17 folders.
void CreateOutputFolders(RunContext& run);

// The report log's name: "Quimbro_<RunStamp>.log".
std::string LogFileName(const RunContext& run);
// The folder of the three command captures, below the desktop folder.
inline constexpr std::string_view kCaptureFolder = "\\QuimbroOutput\\windows";

void OpenLogFile(RunContext& run);
// Waits for each command capture still running, so the output folder is complete.
void WaitForCaptures(RunContext& run);
void CloseLogFile(RunContext& run);

// Runs every gatherer in the order of the report's sections, for an accepted
// operating-system name only.
void RunGatherers(RunContext& run, const std::string& operatingSystem);

}  // namespace quimbro
