#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quimbro {

// The few things the file-system object asks of the host it runs on. Each raises
// PlatformError when it cannot do what was asked. A link (symbolic link, junction or other
// reparse point) is reported as one and never followed.
class FileHost {
  public:
    struct Entry {
        std::filesystem::path path;
        std::string name;  // UTF-8
        bool folder = false;
        bool link = false;
    };

    virtual ~FileHost() = default;
    // The host's path for a Windows path (UTF-8, backslashes).
    virtual std::filesystem::path Native(const std::string& windowsPath) const = 0;
    // Everything in a folder but "." and "..".
    virtual std::vector<Entry> List(const std::filesystem::path& folder) const = 0;
    // True for a folder, or a link to one.
    virtual bool IsFolder(const std::filesystem::path& path) const = 0;
    virtual bool IsLink(const std::filesystem::path& path) const = 0;
    // Makes one folder whose parent exists; fails when something of that name exists.
    virtual void MakeFolder(const std::filesystem::path& path) const = 0;
    // Copies one file, replacing a file of the same name.
    virtual void CopyOneFile(const std::filesystem::path& from,
                             const std::filesystem::path& to) const = 0;
    // Removes a file, an empty folder, or a link itself, leaving what it points to untouched.
    virtual void Remove(const std::filesystem::path& path) const = 0;
    // A line of the report as it is stored: 8-bit text in the host's code page.
    virtual std::string ReportText(const std::string& utf8) const = 0;
};

// The text of a host path as UTF-8.
std::string Utf8Name(const std::filesystem::path& path);

}  // namespace quimbro
