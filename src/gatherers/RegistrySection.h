#pragma once

#include <span>
#include <string_view>

#include "app/ReportLog.h"
#include "context/ObjectsAndVariables.h"

namespace quimbro {

// A section made of registry values alone: a status message, one progress step, the banner,
// one line per readable value, and the closing empty line.
struct RegistrySection {
    std::string_view message;
    std::string_view name;
    std::span<const RegistryLine> lines;
};

void WriteRegistrySection(RunContext& run, const RegistrySection& section);

}  // namespace quimbro
