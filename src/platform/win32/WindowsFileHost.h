#pragma once

#include <string>
#include <vector>

#include "platform/FileHost.h"
#include "platform/win32/Owners.h"

namespace quimbro::win32 {

// Windows paths as Windows takes them: made absolute and given the "\\?\" prefix, so that
// paths longer than MAX_PATH can be copied and deleted. Folders are walked with the Win32 API
// itself: the MinGW runtime lists a folder through a MAX_PATH buffer and does not see
// directory links, so a walk through it would miss long paths and enter linked folders.
// Paths cross this class as UTF-8 and the Win32 calls take them wide.
class WindowsFileHost : public FileHost {
  public:
    std::string Native(const std::string& windowsPath) const override;
    std::string Child(const std::string& folder, const std::string& name) const override;
    std::vector<Entry> List(const std::string& folder) const override;
    std::optional<Entry> Find(const std::string& path) const override;
    // Folders are held by handles opened on the folder itself, never on what a reparse point
    // names; files and folders in them are made and opened relative to those handles.
    FolderRef OpenFolder(const std::string& path, bool followLink) const override;
    FolderRef OpenChild(const Folder& parent, const std::string& name) const override;
    FolderRef MakeFolder(const Folder& parent, const std::string& name) const override;
    // Opened as a running service's log must be: sharing read, write and delete, so the
    // copy is what the service had written at that moment.
    std::unique_ptr<Source> OpenSource(const std::string& path) const override;
    // Written with normal attributes, so that no copy of a read-only file blocks the next
    // run's deletion of the output folder.
    std::unique_ptr<Target> CreateTarget(const Folder& folder, const std::string& name,
                                         std::uint64_t size) const override;
    std::unique_ptr<Target> CreateReport(const Folder& folder,
                                         const std::string& name) const override;
    Space SpaceOf(const std::string& folder) const override;
    std::vector<Entry> Entries(const Folder& folder) const override;
    // Opened without following a link and deleted through its handle; a link is removed
    // itself, and where it cannot be (Wine opens what a link names) the removal fails and
    // the link's target is never touched.
    void RemoveIn(const Folder& folder, const std::string& name) const override;
    void RemoveFolder(const Folder& folder) const override;
    std::string ReportText(const std::string& utf8) const override;
};

// A file made in a verified folder, the one handle a command inherits as its standard output.
KernelHandle CreateInheritedOutput(const FileHost::Folder& folder, const std::string& name);
// Deletes the file through its handle, which has DELETE access.
bool DeleteByHandle(HANDLE file);

// The absolute, prefixed form of a path: "\\?\C:\..." or "\\?\UNC\server\share\...".
std::wstring LongPath(const std::wstring& path);

}  // namespace quimbro::win32
