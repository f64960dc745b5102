#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileHost.h"
#include "platform/ScriptHost.h"

// Starts a command line with a hidden window; the caller waits for its end when it chooses.
namespace quimbro::win32 {

// A command's standard output: a file of that name made in a verified folder.
struct OutputFile {
    FileHost::FolderRef folder;
    std::string name;
};

class CommandRunner {
  public:
    // A command still running this long after its start is ended with every process it started.
    static constexpr std::chrono::milliseconds kDefaultLimit = std::chrono::minutes(5);

    explicit CommandRunner(std::chrono::milliseconds limit = kDefaultLimit) : limit_(limit) {}

    // Starts `program`, a full path, with the command line exactly as given. The command runs
    // in the system folder with NoDefaultCurrentDirectoryInExePath in its environment, so the
    // names it runs are found on the system's search path only, never in a folder the user
    // started the program from. With an output file, that file (created or replaced in its
    // folder through the folder's handle) is the command's standard output and the one handle
    // it inherits; without, it inherits none. Raises PlatformError when it cannot be started;
    // the output file is then not left behind.
    std::unique_ptr<RunningCommand> Start(const std::wstring& program,
                                          const std::string& commandLine,
                                          const std::optional<OutputFile>& outputFile) const;

  private:
    std::chrono::milliseconds limit_;
};

}  // namespace quimbro::win32
