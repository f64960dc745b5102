#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// The SQL Server version and the databases of Ossery's Dashboard entries.
void GatherDatabaseInfo(RunContext& run);

}  // namespace quimbro
