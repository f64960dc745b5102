#pragma once

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// The IIS version, then every web site of the metabase with its bindings, root and the
// directories beneath it, the permission legend, and each site's filters.
void GatherIISInfo(RunContext& run);

}  // namespace quimbro
