#include "gatherers/CommandLine.h"

#include "platform/PlatformError.h"

namespace quimbro {

namespace {

// Inside the double quotes blanks, & and ^ stay part of the path, but the interpreter still
// expands %NAME%, and !NAME! too where delayed expansion is switched on in the registry (read
// at every start of the interpreter); a double quote would end the quoted path early.
bool QuotingKeeps(std::string_view path) {
    return path.find_first_of("%!\"") == std::string_view::npos;
}

std::string Quoted(std::string_view path) {
    return "\"" + std::string(path) + "\"";
}

}  // namespace

CaptureCommand CaptureCommandFor(std::string_view systemFolder, std::string_view program,
                                 std::string_view arguments, std::string_view target) {
    const std::string programPath = std::string(systemFolder) + "\\" + std::string(program);
    if (!QuotingKeeps(programPath)) throw PlatformError("the system folder cannot be quoted");
    const std::string command = Quoted(programPath) + " " + std::string(arguments);
    return {"cmd.exe /D /C " + Quoted(command), std::string(target)};
}

}  // namespace quimbro
