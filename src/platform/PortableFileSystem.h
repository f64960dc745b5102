#pragma once

#include <memory>
#include <string>

#include "platform/FileHost.h"
#include "platform/ScriptHost.h"

namespace quimbro {

// The file-system object, the same on every host: Windows paths, wildcards matched as
// Windows does, links never followed. The host does the single operations.
class PortableFileSystem final : public FileSystemObject {
  public:
    explicit PortableFileSystem(std::shared_ptr<const FileHost> host) : host_(std::move(host)) {}

    bool FolderExists(const std::string& path) override;
    void DeleteFolder(const std::string& path) override;
    void CreateFolder(const std::string& path) override;
    void CopyFolder(const std::string& source, const std::string& destination) override;
    void CopyFile(const std::string& source, const std::string& destination) override;
    std::unique_ptr<TextStream> CreateTextFile(const std::string& path) override;

  private:
    std::shared_ptr<const FileHost> host_;
};

}  // namespace quimbro
