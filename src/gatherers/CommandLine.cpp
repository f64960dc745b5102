#include "gatherers/CommandLine.h"

#include "platform/PlatformError.h"

namespace quimbro {

std::string QuotedPath(std::string_view path) {
    if (path.find('"') != std::string_view::npos)
        throw PlatformError("a path with a double quote cannot be quoted");
    return "\"" + std::string(path) + "\"";
}

std::string RedirectedCommandLine(std::string_view command, std::string_view target) {
    return "cmd /C " + std::string(command) + " > " + QuotedPath(target);
}

}  // namespace quimbro
