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

// `cmd.exe /D /C ""<systemFolder>\<program>" <arguments> > "<target>""`: the system's own
// program by its full path, the interpreter's AutoRun commands left out, and the interpreter's
// own redirection writing the target. The outer quotes are the ones the interpreter takes off,
// so the quotes inside stay as written. A target that redirection would not keep as it is
// spelt is handed to the command as its standard output instead, without the redirection.
// Raises PlatformError for a system folder that the interpreter would not keep as spelt.
CaptureCommand CaptureCommandFor(std::string_view systemFolder, std::string_view program,
                                 std::string_view arguments, std::string_view target);

}  // namespace quimbro
