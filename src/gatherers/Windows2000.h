#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// Starts the three command captures, which run on, then writes the sections Operating System,
// Networking, the three environment classes, Running Processes and Local Administrators.
void GatherWindowsInfo(RunContext& run);

}  // namespace quimbro
