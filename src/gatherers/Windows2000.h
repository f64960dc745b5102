#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// The three command captures, then the sections Operating System, Networking, the three
// environment classes, Running Processes and Local Administrators.
void GatherWindowsInfo(RunContext& run);

}  // namespace quimbro
