#pragma once

#include <filesystem>
#include <string>

#include "platform/FileHost.h"

namespace quimbro {

// Windows paths on a POSIX host: a backslash is a separator, a path that begins with one
// lies under the given drive root, and names are found in any letter case, as on Windows.
// A symbolic link is reported as Windows reports one. The report is stored as UTF-8.
class PosixFileHost : public FileHost {
  public:
    explicit PosixFileHost(std::filesystem::path driveRoot = "/")
        : driveRoot_(std::move(driveRoot)) {}

    std::string Native(const std::string& windowsPath) const override;
    std::string Child(const std::string& folder, const std::string& name) const override;
    std::vector<Entry> List(const std::string& folder) const override;
    std::optional<Entry> Find(const std::string& path) const override;
    // Folders are held by descriptors opened without following a link, and what is made in
    // them is made relative to those.
    FolderRef OpenFolder(const std::string& path, bool followLink) const override;
    FolderRef OpenChild(const Folder& parent, const std::string& name) const override;
    FolderRef MakeFolder(const Folder& parent, const std::string& name) const override;
    std::unique_ptr<Source> OpenSource(const std::string& path) const override;
    std::unique_ptr<Target> CreateTarget(const Folder& folder, const std::string& name,
                                         std::uint64_t size) const override;
    std::unique_ptr<Target> CreateReport(const Folder& folder,
                                         const std::string& name) const override;
    Space SpaceOf(const std::string& folder) const override;
    std::vector<Entry> Entries(const Folder& folder) const override;
    void RemoveIn(const Folder& folder, const std::string& name) const override;
    void RemoveFolder(const Folder& folder) const override;
    std::string ReportText(const std::string& utf8) const override { return utf8; }

  private:
    std::filesystem::path driveRoot_;
};

}  // namespace quimbro
