#include "suite/KXSuite.h"

#include <array>

#include "app/Messages.h"
#include "app/Progress.h"
#include "gatherers/RegistrySection.h"
#include "platform/WindowsPath.h"

namespace quimbro {

namespace {

constexpr std::array<RegistryLine, 2> kAlmanBoard = {{
    {"VERSION: ", "HKLM\\Software\\Vantorel Software\\KXSetup\\Products\\qnduEnterprise\\Build"},
    {"HOME DIRECTORY: ", "HKLM\\Software\\Vantorel Software\\AlmanBoard\\ALMANBOARD_HOME"},
}};

constexpr std::array<RegistryLine, 7> kComponents = {{
    {"Mabrick Version: ",
     "HKLM\\Software\\Vantorel Software\\KXSetup\\ComponentVersions\\MabrickCoreComponents"},
    {"Ossery Version: ",
     "HKLM\\Software\\Vantorel Software\\KXSetup\\ComponentVersions\\OsseryCoreFiles"},
    {"Vantorel's Jakart-Tomcat Version: ",
     "HKLM\\Software\\Vantorel Software\\KXSetup\\ComponentVersions\\tzpqjakartatomcat"},
    {"Kestova Version: ",
     "HKLM\\Software\\Vantorel Software\\KXSetup\\ComponentVersions\\tzpqInstallFiles"},
    {"Fenwode Version: ",
     "HKLM\\Software\\Vantorel Software\\KXSetup\\ComponentVersions\\FenwodeCoreFiles"},
    {"Hublet Version: ", "HKLM\\Software\\Vantorel Software\\KXSetup\\ComponentVersions\\hublet"},
    {"Drape Well Version: ",
     "HKLM\\Software\\Vantorel Software\\KXSetup\\ComponentVersions\\Drapewell"},
}};

constexpr char kInstallDirectory[] =
    "HKLM\\Software\\Vantorel Software\\Kestova\\4.0\\InstallDirectory";

enum class Copy { Folder, File };

struct ProductCopy {
    std::string_view message;
    Copy kind;
    std::string_view source;       // after the base folder
    std::string_view destination;  // after the desktop folder
    bool stepBefore;
    bool stepAfter;
};

constexpr std::array<ProductCopy, 10> kCopies = {{
    {"Copying AnB logs...", Copy::Folder, "AlmanBoard\\log*", "\\QuimbroOutput\\AlmanBoard", true,
     true},
    {"Copying Jakarta-Tomcat logs...", Copy::Folder, "jakarta-tomcat\\log*",
     "\\QuimbroOutput\\jakarta-tomcat", true, false},
    {"Copying ~\\AlmanBoard\\bin\\*.ini...", Copy::File, "AlmanBoard\\bin\\*.ini",
     "\\QuimbroOutput\\AlmanBoard\\bin\\", true, false},
    {"Copying ~\\AlmanBoard\\bin\\*.cfg...", Copy::File, "AlmanBoard\\bin\\*.cfg",
     "\\QuimbroOutput\\AlmanBoard\\bin\\", true, false},
    {"Copying tomcat.bat...", Copy::File, "jakarta-tomcat\\bin\\tomcat.bat",
     "\\QuimbroOutput\\jakarta-tomcat\\bin\\", true, false},
    {"Copying ~\\jakarta-tomcat\\conf\\*.*...", Copy::File, "jakarta-tomcat\\conf\\*.*",
     "\\QuimbroOutput\\jakarta-tomcat\\conf\\", true, false},
    {"Copying ~\\TarnApp\\WEB-INF\\classes\\config.txt...", Copy::File,
     "jakarta-tomcat\\webapps\\TarnApp\\WEB-INF\\classes\\config.txt",
     "\\QuimbroOutput\\jakarta-tomcat\\webapps\\TarnApp\\WEB-INF\\classes\\", true, false},
    {"Copying ~\\TarnApp\\projects\\catalog.txt...", Copy::File,
     "Kestova\\TarnApp\\projects\\catalog.txt",
     "\\QuimbroOutput\\Vantorel\\Kestova\\TarnApp\\projects\\", false, false},
    {"Copying Kestova\\bin\\error.log...", Copy::File, "Kestova\\bin\\error.log",
     "\\QuimbroOutput\\Vantorel\\Kestova\\bin\\", true, false},
    {"Copying KXSetup\\*.log...", Copy::File, "KXSetup\\*.log",
     "\\QuimbroOutput\\Vantorel\\KXSetup\\", true, false},
}};

void CopyProductFiles(RunContext& run, const ProductCopy& copy) {
    const auto source = run.ProductBase + std::string(copy.source);
    const auto destination = run.DesktopPath + std::string(copy.destination);
    if (copy.kind == Copy::Folder)
        run.Files().CopyFolder(source, destination);
    else
        run.Files().CopyFile(source, destination);
}

}  // namespace

std::string ProductBaseFolder(std::string_view installDirectory) {
    auto directory = std::string(installDirectory);
    while (!directory.empty() && directory.back() == '\\') directory.pop_back();
    if (directory.empty()) return {};
    auto [parent, last] = SplitLastComponent(directory);
    if (!EqualsIgnoringCase(last, "Kestova")) return directory + "\\";
    if (parent.empty()) return {};
    if (parent.back() != '\\') parent += '\\';
    return parent;
}

void GatherSuiteInfo(RunContext& run) {
    WriteRegistrySection(run, {"Reading AlmanBoard Info...", "Alman Board Info", kAlmanBoard});
    WriteRegistrySection(run, {"Reading other Vantorel software info...",
                               "Applicable Vantorel Software", kComponents});
    CollectProductFiles(run);
}

void CollectProductFiles(RunContext& run) {
    AddMessageLine(run, [] { return std::string("Finding Kestova installation directory..."); });
    Attempt([&] { run.ProductBase = RegistryText(run, kInstallDirectory); });
    ScrollMessageList(run);
    AdvanceProgress(run);
    AddMessageLine(run, [] { return std::string("Kestova install directory:"); });
    // The raw value, as read, on a line of its own.
    AddMessageLine(run, [&] { return run.ProductBase; });
    ScrollMessageList(run);
    AdvanceProgress(run);
    Attempt([&] { run.ProductBase = ProductBaseFolder(run.ProductBase); });
    for (const auto& copy : kCopies) {
        ShowMessage(run, copy.message);
        if (copy.stepBefore) AdvanceProgress(run);
        Attempt([&] { CopyProductFiles(run, copy); });
        if (copy.stepAfter) AdvanceProgress(run);
    }
    AdvanceProgress(run);
}

}  // namespace quimbro
