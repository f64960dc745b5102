#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// One progress step: the bar's value plus 2. A step past the bar's maximum is refused and
// leaves the bar as it was.
void AdvanceProgress(RunContext& run);

}  // namespace quimbro
