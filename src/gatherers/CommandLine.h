#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quimbro {

// A capture as the interpreter is given it: the command line, and the file handed to the
// command as its standard output (made by the program in its verified folder, never named to
// the interpreter, which would resolve it by path).
struct CaptureCommand {
    std::string commandLine;
    std::optional<std::string> outputFile;

    bool operator==(const CaptureCommand&) const = default;
};

// `cmd.exe /D /C ""<systemFolder>\<program>" <arguments>"`: the system's own program by its
// full path and the interpreter's AutoRun commands left out. The outer quotes are the ones the
// interpreter takes off, so the quotes inside stay as written. Raises PlatformError for a system
// folder that the interpreter would not keep as spelt.
CaptureCommand CaptureCommandFor(std::string_view systemFolder, std::string_view program,
                                 std::string_view arguments, std::string_view target);

}  // namespace quimbro
