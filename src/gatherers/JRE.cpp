#include "gatherers/JRE.h"

#include <array>

#include "gatherers/RegistrySection.h"

namespace quimbro {

namespace {
constexpr std::array<RegistryLine, 2> kLines = {{
    {"Version: ", "HKLM\\Software\\JavaSoft\\Java Runtime Environment\\CurrentVersion"},
    // The trailing backslash reads the default value of the key "command".
    {"JAR Extension Association: ",
     "HKLM\\SOFTWARE\\Classes\\Applications\\javaw.exe\\shell\\open\\command\\"},
}};
}  // namespace

void GatherJREInfo(RunContext& run) {
    WriteRegistrySection(run, {"Reading JRE info...", "JRE", kLines});
}

}  // namespace quimbro
