#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Value.h"

// The script-host operations the run uses, and nothing more. Every operation raises
// PlatformError when it cannot do what was asked. All text is UTF-8; paths are Windows
// paths with backslashes.
namespace quimbro {

// A command that runs alongside the run; one that is dropped unfinished is ended.
class RunningCommand {
  public:
    virtual ~RunningCommand() = default;
    // Returns when the command has ended, or has been ended at its time limit; what it wrote
    // so far stays written.
    virtual void Wait() = 0;
};

class WScriptShell {
  public:
    virtual ~WScriptShell() = default;

    // "HKLM\..." or "HKCU\..."; a path ending in a backslash names the key's default value.
    virtual Value RegRead(const std::string& path) = 0;

    // Starts the system folder's interpreter with the command line ("cmd.exe /D /C ...") and a
    // hidden window, and returns while it runs. With an output file, the command's standard
    // output goes into that file, created or replaced; without, the line's redirection places it.
    virtual std::unique_ptr<RunningCommand> Start(const std::string& commandLine,
                                                  const std::optional<std::string>& outputFile) = 0;

    // The current user's desktop folder, without a trailing backslash.
    virtual std::string DesktopFolder() = 0;

    // The system folder (System32), where Windows' own programs lie, without a trailing
    // backslash.
    virtual std::string SystemFolder() = 0;

    // "SYSTEM", "USER" or "VOLATILE": the class's variables as "NAME=value", in its own order.
    virtual std::vector<std::string> Environment(const std::string& environmentClass) = 0;
};

class WScriptNetwork {
  public:
    virtual ~WScriptNetwork() = default;
    virtual std::string UserName() = 0;
    virtual std::string ComputerName() = 0;  // NetBIOS name
    virtual std::string UserDomain() = 0;
};

// An 8-bit text file written line by line, CR LF after each line.
class TextStream {
  public:
    virtual ~TextStream() = default;
    virtual void WriteLine(const std::string& line) = 0;
    virtual void Close() = 0;
};

class FileSystemObject {
  public:
    virtual ~FileSystemObject() = default;
    virtual bool FolderExists(const std::string& path) = 0;
    // Removes the folder and all it holds; a link inside is removed, never followed.
    virtual void DeleteFolder(const std::string& path) = 0;
    // Makes one folder whose parent exists; fails when the folder already exists.
    virtual void CreateFolder(const std::string& path) = 0;
    // The source's last component may hold * and ?. Every matching folder (CopyFolder) or
    // file (CopyFile) is copied into the destination folder under its own name, replacing
    // files of the same name. A source matching nothing fails.
    virtual void CopyFolder(const std::string& source, const std::string& destination) = 0;
    virtual void CopyFile(const std::string& source, const std::string& destination) = 0;
    // Creates (or replaces) an 8-bit text file.
    virtual std::unique_ptr<TextStream> CreateTextFile(const std::string& path) = 0;
};

// Creating the three objects by their class names; a class that cannot be created fails.
class AutomationObjects {
  public:
    virtual ~AutomationObjects() = default;
    virtual std::unique_ptr<WScriptShell> CreateShell() = 0;
    virtual std::unique_ptr<WScriptNetwork> CreateNetwork() = 0;
    virtual std::unique_ptr<FileSystemObject> CreateFileSystem() = 0;
};

}  // namespace quimbro
