#include "gatherers/Windows2000.h"

#include <array>
#include <charconv>
#include <string>
#include <string_view>

#include "app/Messages.h"
#include "app/Progress.h"
#include "app/ReportLog.h"
#include "app/Utility.h"
#include "gatherers/CommandLine.h"

namespace quimbro {

namespace {

// Each program is the one in the system folder, never one found on the search path.
struct Capture {
    std::string_view message;
    std::string_view program;
    std::string_view arguments;
    std::string_view filePrefix;
};

constexpr std::array<Capture, 3> kCaptures = {{
    {"Directing output of 'ipconfig /all'...", "ipconfig.exe", "/all", "ipconfig_"},
    {"Directing output of 'netstat -a'...", "netstat.exe", "-a", "netstat_"},
    {"Directing output of 'net start'...", "net.exe", "start", "services_"},
}};

constexpr char kBuildNumber[] =
    "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\CurrentBuildNumber";

// Windows 11 keeps "Windows 10" in its product name for the programs that test it; its build
// (22000 and later) tells it. Any other name, or a build that cannot be read, stays as stored.
std::string ProductName(RunContext& run, std::string_view path) {
    constexpr std::string_view kStored = "Windows 10";
    constexpr unsigned long kFirstBuild = 22000;
    auto name = RegistryText(run, path);
    const bool windows11 = Holds([&] {
        const auto build = RegistryText(run, kBuildNumber);
        unsigned long number = 0;
        const auto [end, error] =
            std::from_chars(build.data(), build.data() + build.size(), number);
        return error == std::errc() && end == build.data() + build.size() && number >= kFirstBuild;
    });
    if (windows11 && name.starts_with(kStored)) name.replace(0, kStored.size(), "Windows 11");
    return name;
}

constexpr std::array<RegistryLine, 4> kOperatingSystem = {{
    {"OS NAME: ", "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\ProductName",
     ProductName},
    {"SERVICE PACK: ", "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\CSDVersion"},
    {"OS BUILD: ", kBuildNumber},
    // Seconds since 1970, written as the bare number.
    {"OS INSTALL DATE: ", "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\InstallDate"},
}};

struct EnvironmentSection {
    std::string_view message;
    std::string_view name;
    std::string_view environmentClass;
    bool progressStep;  // taken after the section
};

constexpr std::array<EnvironmentSection, 3> kEnvironment = {{
    {"Reading system environment variables...", "System Environment Variables", "SYSTEM", true},
    {"Reading user environment variables...", "User Environment Variables", "USER", false},
    {"Reading volatile environment variables...", "Volatile Environment Variables", "VOLATILE",
     false},
}};

// Each command runs on while the run writes its report; WaitForCaptures waits for them.
void StartCaptures(RunContext& run) {
    for (const auto& capture : kCaptures) {
        ShowMessage(run, capture.message);
        Attempt([&] {
            const auto target = run.DesktopPath + std::string(kCaptureFolder) + "\\" +
                                std::string(capture.filePrefix) + run.RunStamp + ".log";
            const auto command = CaptureCommandFor(run.Shell().SystemFolder(), capture.program,
                                                   capture.arguments, target);
            run.RunningCaptures.push_back(
                run.Shell().Start(command.commandLine, command.outputFile));
        });
        AdvanceProgress(run);
    }
}

void WriteOperatingSystem(RunContext& run) {
    ShowMessage(run, "Reading Operating System info...");
    WriteBanner(run, "Operating System");
    for (const auto& row : kOperatingSystem) {
        // Shown and written, each with a read of its own.
        const auto line = [&] { return std::string(row.label) + row.text(run, row.path); };
        ShowMessage(run, line);
        WriteReportLine(run, line);
    }
    WriteEmptyLine(run);
}

void WriteNetworking(RunContext& run) {
    ShowMessage(run, "Reading Networking info...");
    WriteBanner(run, "Networking");
    WriteReportLine(run, [&] { return "WINDOWS USERNAME: " + run.Network().UserName(); });
    WriteReportLine(run, [&] { return "COMPUTER NAME: " + run.Network().ComputerName(); });
    WriteReportLine(run, [&] { return "DOMAIN NAME: " + run.Network().UserDomain(); });
    WriteEmptyLine(run);
    WriteReportLine(run, "*See ipconfig and netstat logs for further networking information");
    WriteEmptyLine(run);
}

void WriteEnvironment(RunContext& run, const EnvironmentSection& section) {
    ShowMessage(run, section.message);
    WriteBanner(run, section.name);
    const auto entries =
        Collection([&] { return run.Shell().Environment(std::string(section.environmentClass)); });
    long long number = 0;
    for (const auto& entry : entries) {
        ++number;
        // The number is written whole, however many entries there are.
        WriteReportLine(run, [&] { return std::to_string(number) + " " + entry; });
    }
    WriteEmptyLine(run);
}

void WriteRunningProcesses(RunContext& run) {
    ShowMessage(run, "Reading running processes...");
    WriteBanner(run, "Running Processes");
    for (const auto& process :
         Collection([&] { return run.computer.processes.RunningProcesses(); }))
        WriteReportLine(run, [&] {
            return Readable(process.name) + "\t\t" + std::to_string(Readable(process.id));
        });
    WriteEmptyLine(run);
    WriteReportLine(run, "* See services log for list of services.");
    WriteEmptyLine(run);
}

void WriteLocalAdministrators(RunContext& run) {
    WriteBanner(run, "Local Administrators");
    const auto members = Collection(
        [&] { return run.computer.groups.AdministratorsMembers(run.Network().ComputerName()); });
    for (const auto& member : members) WriteReportLine(run, [&] { return Readable(member); });
    WriteEmptyLine(run);
}

}  // namespace

void GatherWindowsInfo(RunContext& run) {
    StartCaptures(run);
    WriteOperatingSystem(run);
    WriteNetworking(run);
    for (const auto& section : kEnvironment) {
        WriteEnvironment(run, section);
        if (section.progressStep) AdvanceProgress(run);
    }
    WriteRunningProcesses(run);
    WriteLocalAdministrators(run);
}

}  // namespace quimbro
