#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Value.h"

// The script-host operations the run uses, and nothing more. Every operation raises
// PlatformError when it cannot do what was asked. All text is UTF-8; paths are Windows
// paths with backslashes.
namespace quimbro {

class WScriptShell {
  public:
    virtual ~WScriptShell() = default;

    // "HKLM\..." or "HKCU\..."; a path ending in a backslash names the key's default value.
    virtual Value RegRead(const std::string& path) = 0;

    // Runs the command line with a hidden window and returns when it has ended.
    virtual void Run(const std::string& commandLine) = 0;

    // The current user's desktop folder, without a trailing backslash.
    virtual std::string DesktopFolder() = 0;

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
