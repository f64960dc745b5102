#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/FileHost.h"
#include "platform/ScriptHost.h"
#include "platform/VerifiedFolders.h"
#include "platform/Worker.h"

namespace quimbro {

// The file-system object, the same on every host: Windows paths, wildcards matched as
// Windows does, links never followed. The host does the single operations.
class PortableFileSystem final : public FileSystemObject {
  public:
    // How long the name of a folder deleted is tried again while another program holds it.
    static constexpr std::chrono::milliseconds kNameWait{5000};

    // Files of a folder are copied two at a time, the second on the worker. The folders it makes
    // are kept in `folders`.
    explicit PortableFileSystem(std::shared_ptr<const FileHost> host,
                                std::shared_ptr<Worker> worker = std::make_shared<Worker>(),
                                std::chrono::milliseconds nameWait = kNameWait,
                                std::shared_ptr<VerifiedFolders> folders = {})
        : host_(std::move(host)),
          worker_(std::move(worker)),
          nameWait_(nameWait),
          folders_(folders ? std::move(folders) : std::make_shared<VerifiedFolders>(host_)) {}

    bool FolderExists(const std::string& path) override;
    void DeleteFolder(const std::string& path) override;
    void CreateFolder(const std::string& path) override;
    void CopyFolder(const std::string& source, const std::string& destination) override;
    void CopyFile(const std::string& source, const std::string& destination) override;
    std::unique_ptr<TextStream> CreateTextFile(const std::string& path) override;

  private:
    std::shared_ptr<const FileHost> host_;
    std::shared_ptr<Worker> worker_;
    std::chrono::milliseconds nameWait_;
    std::shared_ptr<VerifiedFolders> folders_;
};

}  // namespace quimbro
