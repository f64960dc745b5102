#include "gatherers/Netscape47.h"

#include <array>

#include "gatherers/RegistrySection.h"

namespace quimbro {

namespace {
constexpr std::array<RegistryLine, 1> kLines = {{
    {"Version: ", "HKLM\\Software\\Netscape\\Netscape Navigator\\CurrentVersion"},
}};
}  // namespace

void GatherNetscapeInfo(RunContext& run) {
    WriteRegistrySection(run, {"Reading Netscape info...", "Netscape", kLines});
}

}  // namespace quimbro
