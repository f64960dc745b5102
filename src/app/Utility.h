#pragma once

#include <string>

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// Removes an old QuimbroOutput from the desktop and makes the empty tree of 17 folders.
void CreateOutputFolders(RunContext& run);

void OpenLogFile(RunContext& run);
// Waits for each command capture still running, so the output folder is complete.
void WaitForCaptures(RunContext& run);
void CloseLogFile(RunContext& run);

// Runs every gatherer in the order of the report's sections, for an accepted
// operating-system name only.
void RunGatherers(RunContext& run, const std::string& operatingSystem);

}  // namespace quimbro
