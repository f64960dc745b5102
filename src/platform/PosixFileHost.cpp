#include "platform/PosixFileHost.h"

#include <algorithm>
#include <system_error>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"

namespace fs = std::filesystem;

namespace quimbro {

namespace {
bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// The entry of `folder` that spells `name` in any letter case, or `name` itself.
fs::path Component(const fs::path& folder, const fs::path& name) {
    if (Exists(folder / name)) return name;
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec))
        if (EqualsIgnoringCase(Utf8Name(it->path().filename()), Utf8Name(name)))
            return it->path().filename();
    return name;
}
}  // namespace

fs::path PosixFileHost::Native(const std::string& windowsPath) const {
    std::string text = windowsPath;
    std::replace(text.begin(), text.end(), '\\', '/');
    const fs::path given(text);
    // "\x" is the root of the current drive.
    const bool driveRooted = !windowsPath.empty() && windowsPath[0] == '\\';
    fs::path resolved = driveRooted ? driveRoot_ : given.root_path();
    for (const auto& name : given.relative_path()) {
        if (name.empty() || name == ".") continue;
        resolved /= Component(resolved, name);
    }
    return resolved.empty() ? fs::path(".") : resolved;
}

std::vector<FileHost::Entry> PosixFileHost::List(const fs::path& folder) const {
    std::vector<Entry> entries;
    for (const auto& entry : fs::directory_iterator(folder))
        entries.push_back({entry.path(), Utf8Name(entry.path().filename()), IsFolder(entry.path()),
                           IsLink(entry.path())});
    return entries;
}

bool PosixFileHost::IsFolder(const fs::path& path) const {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool PosixFileHost::IsLink(const fs::path& path) const {
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(path, ec));
}

void PosixFileHost::MakeFolder(const fs::path& path) const {
    if (!fs::create_directory(path)) throw PlatformError("folder exists");
}

void PosixFileHost::CopyOneFile(const fs::path& from, const fs::path& to) const {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

void PosixFileHost::Remove(const fs::path& path) const {
    if (!fs::remove(path)) throw PlatformError("nothing to remove");
}

}  // namespace quimbro
