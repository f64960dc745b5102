#include "platform/VerifiedFolders.h"

#include <algorithm>

namespace quimbro {

FileHost::FolderRef VerifiedFolders::Of(const std::string& path) {
    const std::lock_guard lock(mutex_);
    auto& folder = folders_[path];
    if (!folder) {
        try {
            folder = host_->OpenFolder(path, !Claimed(path));
        } catch (...) {
            folders_.erase(path);
            throw;
        }
    }
    return folder;
}

std::string VerifiedFolders::NativeOf(std::string windowsPath) const {
    while (windowsPath.size() > 1 && (windowsPath.back() == '\\' || windowsPath.back() == '/') &&
           windowsPath[windowsPath.size() - 2] != ':')
        windowsPath.pop_back();
    return host_->Native(windowsPath.empty() ? std::string(".") : windowsPath);
}

FileHost::FolderRef VerifiedFolders::At(std::string windowsPath) {
    return Of(NativeOf(std::move(windowsPath)));
}

void VerifiedFolders::Claim(std::string windowsPath) {
    auto path = NativeOf(std::move(windowsPath));
    const std::lock_guard lock(mutex_);
    claimed_.insert(std::move(path));
}

bool VerifiedFolders::Claimed(const std::string& path) const {
    return std::ranges::any_of(claimed_, [&](const std::string& claimed) {
        return path == claimed || path.starts_with(host_->Child(claimed, ""));
    });
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
