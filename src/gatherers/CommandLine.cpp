#include "gatherers/CommandLine.h"

namespace quimbro {

namespace {

// Inside the double quotes blanks, & and ^ stay part of the path, but the interpreter still
// expands %NAME%, and !NAME! too where delayed expansion is switched on in the registry (read
// at every start of the interpreter); a double quote would end the quoted path early.
bool RedirectionKeeps(std::string_view target) {
    return target.find_first_of("%!\"") == std::string_view::npos;
}

}  // namespace

CaptureCommand CaptureCommandFor(std::string_view command, std::string_view target) {
    const std::string commandLine = "cmd /C " + std::string(command);
    if (!RedirectionKeeps(target)) return {commandLine, std::string(target)};
    return {commandLine + " > \"" + std::string(target) + "\"", std::nullopt};
}

}  // namespace quimbro
