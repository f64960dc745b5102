#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// The report's first section: the log's own name, the tool's version, date and time.
void WriteLogInfo(RunContext& run);

}  // namespace quimbro
