#pragma once

#include <filesystem>
#include <string>

namespace quimbro {

// What the portable file system needs to know of the host it runs on.
class FileHost {
  public:
    virtual ~FileHost() = default;
    // The host's path for a Windows path (UTF-8, backslashes).
    virtual std::filesystem::path Native(const std::string& windowsPath) const = 0;
    // True for a symbolic link, junction or other reparse point: never followed.
    virtual bool IsLink(const std::filesystem::path& path) const = 0;
    // Removes the link itself, leaving what it points to untouched.
    virtual void RemoveLink(const std::filesystem::path& path) const = 0;
    // A line of the report as it is stored: 8-bit text in the host's code page.
    virtual std::string ReportText(const std::string& utf8) const = 0;
};

// The text of a host path as UTF-8.
std::string Utf8Name(const std::filesystem::path& path);

}  // namespace quimbro
