#include "platform/VerifiedFolders.h"

namespace quimbro {

FileHost::FolderRef VerifiedFolders::Of(const std::string& path) {
    const std::lock_guard lock(mutex_);
    auto& folder = folders_[path];
    if (!folder) {
        try {
            folder = host_->OpenFolder(path);
        } catch (...) {
            folders_.erase(path);
            throw;
        }
    }
    return folder;
}

FileHost::FolderRef VerifiedFolders::At(std::string windowsPath) {
    while (windowsPath.size() > 1 && (windowsPath.back() == '\\' || windowsPath.back() == '/') &&
           windowsPath[windowsPath.size() - 2] != ':')
        windowsPath.pop_back();
    return Of(host_->Native(windowsPath.empty() ? std::string(".") : windowsPath));
}

void VerifiedFolders::Keep(const FileHost::FolderRef& folder) {
    const std::lock_guard lock(mutex_);
    folders_[folder->Path()] = folder;
}

void VerifiedFolders::Drop(const std::string& path) {
    const std::string inside = host_->Child(path, "");
    const std::lock_guard lock(mutex_);
    std::erase_if(folders_, [&](const auto& kept) {
        return kept.first == path || kept.first.starts_with(inside);
    });
}

}  // namespace quimbro
