#pragma once

#include <memory>
#include <string>

#include "platform/FileHost.h"
#include "platform/ScriptHost.h"

namespace quimbro {

// The file-system object on std::filesystem, the same on every host.
class PortableFileSystem final : public FileSystemObject {
  public:
    explicit PortableFileSystem(const FileHost& host) : host_(host) {}

    bool FolderExists(const std::string& path) override;
    void DeleteFolder(const std::string& path) override;
    void CreateFolder(const std::string& path) override;
    void CopyFolder(const std::string& source, const std::string& destination) override;
    void CopyFile(const std::string& source, const std::string& destination) override;
    std::unique_ptr<TextStream> CreateTextFile(const std::string& path) override;

  private:
    const FileHost& host_;
};

}  // namespace quimbro
