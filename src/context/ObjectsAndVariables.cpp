#include "context/ObjectsAndVariables.h"

#include "context/Statements.h"

namespace quimbro {

namespace {
template <class T>
T& Created(const std::unique_ptr<T>& object) {
    if (!object) throw PlatformError("object was not created");
    return *object;
}
}  // namespace

WScriptShell& RunContext::Shell() const {
    return Created(ShellObject);
}
WScriptNetwork& RunContext::Network() const {
    return Created(NetworkObject);
}
FileSystemObject& RunContext::Files() const {
    return Created(FileSystem);
}
TextStream& RunContext::Log() const {
    return Created(LogStream);
}

std::string MakeRunStamp(const DateTime& m) {
    using std::to_string;
    return to_string(m.month) + to_string(m.day) + to_string(m.year) + "_" + to_string(m.hour) +
           to_string(m.minute) + to_string(m.second);
}

void InitializeRun(RunContext& run) {
    Attempt([&] { run.ToolVersion = "1.12122001"; });
    Attempt([&] { run.ShellObject = run.computer.automation.CreateShell(); });
    Attempt([&] { run.NetworkObject = run.computer.automation.CreateNetwork(); });
    Attempt([&] { run.FileSystem = run.computer.automation.CreateFileSystem(); });
    Attempt([&] { run.DesktopPath = run.Shell().DesktopFolder(); });
    Attempt([&] { run.RunStamp = MakeRunStamp(run.computer.clock.Now()); });
}

}  // namespace quimbro
