#pragma once

#include <string>
#include <string_view>

#include "context/ObjectsAndVariables.h"

namespace quimbro {

// The AlmanBoard and suite component versions, then the copies of the products' files.
void GatherSuiteInfo(RunContext& run);

// Finds the products' base folder from Kestova's install directory and copies the
// products' logs and configuration files into the output tree.
void CollectProductFiles(RunContext& run);

// The folder the products are installed in side by side, ending in one backslash: the
// parent of Kestova's install directory when that ends in a folder named Kestova (in any
// letter case), otherwise the install directory itself. Empty for an empty value.
std::string ProductBaseFolder(std::string_view installDirectory);

}  // namespace quimbro
