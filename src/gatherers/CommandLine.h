#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quimbro {

// A capture as the interpreter is given it: the command line and, where the target cannot be
// named in that line, the file handed to the command as its standard output.
struct CaptureCommand {
    std::string commandLine;
    std::optional<std::string> outputFile;

    bool operator==(const CaptureCommand&) const = default;
};

// "cmd /C <command> > "<target>"": the interpreter's own redirection writes the target. A
// target that redirection would not keep as it is spelt is handed to the command as its
// standard output instead, with "cmd /C <command>" as the line.
CaptureCommand CaptureCommandFor(std::string_view command, std::string_view target);

}  // namespace quimbro
