#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// The Internet Explorer version and the current user's cookie settings in the four zones.
void GatherIEInfo(RunContext& run);

}  // namespace quimbro
