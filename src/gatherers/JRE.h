#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// The Java runtime's version and the open command registered for javaw.exe.
void GatherJREInfo(RunContext& run);

}  // namespace quimbro
