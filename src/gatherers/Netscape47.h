#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// The Netscape Navigator version.
void GatherNetscapeInfo(RunContext& run);

}  // namespace quimbro
