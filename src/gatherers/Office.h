#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// One version line for each of eight Office applications.
void GatherOfficeInfo(RunContext& run);

}  // namespace quimbro
