#include "gatherers/Office.h"

#include <array>

#include "gatherers/RegistrySection.h"

namespace quimbro {

namespace {
// Each reads the default value of the application's key.
constexpr std::array<RegistryLine, 8> kLines = {{
    {"Access Version: ",
     "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo\\Categories\\Applications\\Access\\"},
    {"Excel Version: ",
     "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo\\Categories\\Applications\\Excel\\"},
    {"FrontPage Version: ",
     "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo\\Categories\\Applications\\FrontPage\\"},
    {"Outlook Version: ",
     "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo\\Categories\\Applications\\Outlook\\"},
    {"PowerPoint Version: ",
     "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo\\Categories\\Applications\\PowerPoint\\"},
    {"Project Version: ",
     "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo\\Categories\\Applications\\Project\\"},
    {"Publisher Version: ",
     "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo\\Categories\\Applications\\Publisher\\"},
    {"Word Version: ",
     "HKLM\\Software\\Microsoft\\Shared Tools\\MSInfo\\Categories\\Applications\\Word\\"},
}};
}  // namespace

void GatherOfficeInfo(RunContext& run) {
    WriteRegistrySection(run,
                         {"Reading MS Office info...", "Microsoft Office Applications", kLines});
}

}  // namespace quimbro
