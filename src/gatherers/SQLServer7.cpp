#include "gatherers/SQLServer7.h"

#include <array>

#include "gatherers/RegistrySection.h"

namespace quimbro {

namespace {
constexpr std::array<RegistryLine, 3> kLines = {{
    {"SQL Server Version: ",
     "HKLM\\Software\\Microsoft\\MSSQLServer\\MSSQLServer\\CurrentVersion\\CurrentVersion"},
    {"Warehouse DB: ",
     "HKLM\\Software\\Vantorel "
     "Software\\Ossery\\2002.05.00\\Core\\Databases\\Dashboard\\MASTR\\Database"},
    {"Schema DB: ",
     "HKLM\\Software\\Vantorel "
     "Software\\Ossery\\2002.05.00\\Core\\Databases\\Dashboard\\TstD1\\Database"},
}};
}  // namespace

void GatherDatabaseInfo(RunContext& run) {
    WriteRegistrySection(run, {"Reading DBMS info...", "Database Information", kLines});
}

}  // namespace quimbro
