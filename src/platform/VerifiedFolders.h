#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "platform/FileHost.h"

namespace quimbro {

// The folders of the output tree, each opened once, when it is made (or first named): what is
// made or written in them later goes through these, never through a path that a link put in
// since could lead elsewhere. Shared by the file system and the commands that write captures.
class VerifiedFolders {
  public:
    explicit VerifiedFolders(std::shared_ptr<const FileHost> host) : host_(std::move(host)) {}

    // The folder at the host path: the one kept, else opened now and kept.
    FileHost::FolderRef Of(const std::string& path);
    // The same for a Windows path, with or without a backslash at its end.
    FileHost::FolderRef At(std::string windowsPath);
    // The Windows path of a folder the run makes or deletes: from now on neither it nor anything
    // in it is opened through a link. Any other folder (the desktop that holds the output, say)
    // is where the user has put it, a link to it followed.
    void Claim(std::string windowsPath);
    // A folder just made, kept under its path.
    void Keep(const FileHost::FolderRef& folder);
    // Lets go of the folder at the path and of those inside it.
    void Drop(const std::string& path);

  private:
    std::string NativeOf(std::string windowsPath) const;
    bool Claimed(const std::string& path) const;

    std::shared_ptr<const FileHost> host_;
    std::mutex mutex_;
    std::set<std::string> claimed_;
    std::map<std::string, FileHost::FolderRef> folders_;
};

}  // namespace quimbro
