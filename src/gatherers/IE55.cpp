#include "gatherers/IE55.h"

#include <array>
#include <optional>
#include <string>

#include "gatherers/RegistrySection.h"

namespace quimbro {

namespace {
// Internet Explorer 10 and 11 keep "9.10..." and "9.11..." in Version for the programs that
// test it, and their own version in svcVersion beside it.
std::string Version(RunContext& run, std::string_view path) {
    std::optional<Value> own;
    Attempt([&] {
        own = run.Shell().RegRead(std::string(path.substr(0, path.rfind('\\') + 1)) + "svcVersion");
    });
    return own ? ToText(*own) : RegistryText(run, path);
}

constexpr std::array<RegistryLine, 1> kVersion = {{
    {"VERSION: ", "HKLM\\Software\\Microsoft\\Internet Explorer\\Version", Version},
}};

struct Zone {
    std::string_view heading;
    std::array<RegistryLine, 2> cookies;  // 1A02 persistent, 1A03 session
};

// The current user's zones only; the machine-wide zone keys are not read.
constexpr std::array<Zone, 4> kZones = {{
    {"LOCAL INTRANET",
     {{{"Persistent Cookies: ",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\1\\1A02"},
       {"Session Cookies: ",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\1\\1A03"}}}},
    {"TRUSTED SITES",
     {{{"Persistent Cookies: ",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2\\1A02"},
       {"Session Cookies: ",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2\\1A03"}}}},
    {"INTERNET",
     {{{"Persistent Cookies: ",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3\\1A02"},
       {"Session Cookies: ",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3\\1A03"}}}},
    {"RESTRICTED",
     {{{"Persistent Cookies: ",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\4\\1A02"},
       {"Session Cookies: ",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\4\\1A03"}}}},
}};
}  // namespace

void GatherIEInfo(RunContext& run) {
    WriteRegistrySection(run, {"Reading Internet Explorer info...", "Internet Explorer", kVersion});
    for (const auto& zone : kZones) {
        WriteReportLine(run, zone.heading);
        WriteRegistryLines(run, zone.cookies);
        WriteEmptyLine(run);
    }
    WriteReportLine(run, "0 = Allow Cookies, 1 = Prompt for Cookies, 3 = Deny Cookies");
    WriteEmptyLine(run);
}

}  // namespace quimbro
