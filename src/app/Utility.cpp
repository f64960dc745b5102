#include "app/Utility.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "app/Messages.h"
#include "app/Progress.h"
#include "context/Statements.h"
#include "gatherers/IE55.h"
#include "gatherers/IIS5.h"
#include "gatherers/JRE.h"
#include "gatherers/Netscape47.h"
#include "gatherers/Office.h"
#include "gatherers/QuimbroLogInfo.h"
#include "gatherers/SQLServer7.h"
#include "gatherers/Windows2000.h"
#include "suite/KXSuite.h"

namespace quimbro {

namespace {

constexpr std::string_view kOutputFolder = "\\QuimbroOutput";

struct OutputFolder {
    std::string_view path;     // appended to the desktop folder
    std::string_view message;  // shown before the folder is made
};

// Every parent comes before its children.
constexpr std::array<OutputFolder, 17> kOutputTree = {{
    {"\\QuimbroOutput", "Creating \\QuimbroOutput..."},
    {"\\QuimbroOutput\\AlmanBoard", "Creating \\QuimbroOutput\\AlmanBoard..."},
    {"\\QuimbroOutput\\AlmanBoard\\bin", "Creating \\QuimbroOutput\\AlmanBoard\\bin..."},
    {"\\QuimbroOutput\\jakarta-tomcat", "Creating \\QuimbroOutput\\jakarta-tomcat..."},
    {"\\QuimbroOutput\\jakarta-tomcat\\bin", "Creating \\QuimbroOutput\\jakarta-tomcat\\bin..."},
    {"\\QuimbroOutput\\jakarta-tomcat\\conf", "Creating \\QuimbroOutput\\jakarta-tomcat\\conf..."},
    {"\\QuimbroOutput\\jakarta-tomcat\\webapps", "Creating ~\\jakarta-tomcat\\webapps..."},
    {"\\QuimbroOutput\\jakarta-tomcat\\webapps\\TarnApp",
     "Creating ~\\jakarta-tomcat\\webapps\\TarnApp..."},
    {"\\QuimbroOutput\\jakarta-tomcat\\webapps\\TarnApp\\WEB-INF",
     "Creating ~\\webapps\\TarnApp\\WEB-INF..."},
    {"\\QuimbroOutput\\jakarta-tomcat\\webapps\\TarnApp\\WEB-INF\\classes",
     "Creating ~\\webapps\\TarnApp\\WEB-INF\\classes..."},
    {kCaptureFolder, "Creating \\QuimbroOutput\\windows..."},
    {"\\QuimbroOutput\\Vantorel", "Creating \\QuimbroOutput\\Vantorel..."},
    {"\\QuimbroOutput\\Vantorel\\KXSetup", "Creating \\QuimbroOutput\\Vantorel\\KXSetup..."},
    {"\\QuimbroOutput\\Vantorel\\Kestova", "Creating ~\\Vantorel\\Kestova..."},
    {"\\QuimbroOutput\\Vantorel\\Kestova\\bin", "Creating ~\\Vantorel\\Kestova\\bin..."},
    {"\\QuimbroOutput\\Vantorel\\Kestova\\TarnApp", "Creating ~\\Vantorel\\Kestova\\TarnApp..."},
    {"\\QuimbroOutput\\Vantorel\\Kestova\\TarnApp\\projects",
     "Creating ~\\Kestova\\TarnApp\\projects..."},
}};

constexpr std::array<std::string_view, 7> kAcceptedSystems = {
    "Windows 2000 Professional",
    "Windows 2000 Server",
    "Windows 2000 Advanced Server",
    "Windows 2000 DataCenter Server",
    "Windows .NET Server",
    "Windows .NET Enterprise Server",
    "Windows NT 4",
};

}  // namespace

std::string LogFileName(const RunContext& run) {
    return "Quimbro_" + run.RunStamp + ".log";
}

void CreateOutputFolders(RunContext& run) {
    const auto outputFolder = [&] { return run.DesktopPath + std::string(kOutputFolder); };
    AdvanceProgress(run);
    ShowMessage(run, "Checking for existence of QuimbroOutput...");
    AdvanceProgress(run);
    if (Holds([&] { return run.Files().FolderExists(outputFolder()); })) {
        Attempt([&] { run.Files().DeleteFolder(outputFolder()); });
        ShowMessage(run, "Found old QuimbroOutput folder, deleting it...");
        AdvanceProgress(run);
    }
    for (const auto& folder : kOutputTree) {
        ShowMessage(run, folder.message);
        AdvanceProgress(run);
        Attempt([&] { run.Files().CreateFolder(run.DesktopPath + std::string(folder.path)); });
    }
}

void OpenLogFile(RunContext& run) {
    ShowMessage(run, [&] { return "Opening " + LogFileName(run); });
    AdvanceProgress(run);
    Attempt([&] {
        run.LogStream = run.Files().CreateTextFile(run.DesktopPath + std::string(kOutputFolder) +
                                                   "\\" + LogFileName(run));
    });
}

void WaitForCaptures(RunContext& run) {
    for (const auto& capture : run.RunningCaptures) Attempt([&] { capture->Wait(); });
}

void CloseLogFile(RunContext& run) {
    ShowMessage(run, [&] { return "Closing " + LogFileName(run); });
    AdvanceProgress(run);
    Attempt([&] { run.Log().Close(); });
}

void RunGatherers(RunContext& run, const std::string& operatingSystem) {
    if (std::find(kAcceptedSystems.begin(), kAcceptedSystems.end(), operatingSystem) ==
        kAcceptedSystems.end())
        return;
    WriteLogInfo(run);
    GatherWindowsInfo(run);
    GatherSuiteInfo(run);
    GatherIEInfo(run);
    GatherNetscapeInfo(run);
    GatherIISInfo(run);
    GatherJREInfo(run);
    GatherOfficeInfo(run);
    GatherDatabaseInfo(run);
}

}  // namespace quimbro
