#include "platform/win32/WindowsFileHost.h"

#include <string_view>

#include "platform/PlatformError.h"
#include "platform/win32/Owners.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kUncPrefix = L"\\\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

// Resolves "." and "..", doubled separators and a leading "\" against the current drive.
std::wstring FullPath(const std::wstring& path) {
    DWORD capacity = MAX_PATH;
    for (;;) {
        std::wstring full(capacity, L'\0');
        const DWORD length = ::GetFullPathNameW(path.c_str(), capacity, full.data(), nullptr);
        if (length == 0) throw PlatformError("not a valid path");
        if (length < capacity) {
            full.resize(length);
            return full;
        }
        capacity = length + 1;
    }
}

}  // namespace

std::wstring LongPath(const std::wstring& path) {
    if (path.empty()) throw PlatformError("empty path");
    const std::wstring_view given(path);
    if (given.starts_with(kLongPrefix) || given.starts_with(kDevicePrefix)) return path;
    const std::wstring full = FullPath(path);
    if (std::wstring_view(full).starts_with(kUncPrefix))
        return std::wstring(kLongUncPrefix) + full.substr(kUncPrefix.size());
    return std::wstring(kLongPrefix) + full;
}

std::filesystem::path WindowsFileHost::Native(const std::string& windowsPath) const {
    return std::filesystem::path(LongPath(Wide(windowsPath)));
}

std::vector<FileHost::Entry> WindowsFileHost::List(const std::filesystem::path& folder) const {
    const std::wstring where = folder.wstring();
    const std::wstring pattern = where.ends_with(L'\\') ? where + L"*" : where + L"\\*";
    WIN32_FIND_DATAW found{};
    FindHandle find(ValidOrNull(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                                   FindExSearchNameMatch, nullptr, 0)));
    if (!find) throw PlatformError("the folder cannot be listed");
    std::vector<Entry> entries;
    do {
        found.cFileName[MAX_PATH - 1] = L'\0';
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const auto path = folder / name;
        // Where the listing does not mark a link, its own attributes may.
        const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || IsLink(path);
        entries.push_back(
            {path, Utf8(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, link});
    } while (::FindNextFileW(find.Get(), &found));
    if (::GetLastError() != ERROR_NO_MORE_FILES)
        throw PlatformError("the folder listing broke off");
    return entries;
}

bool WindowsFileHost::IsFolder(const std::filesystem::path& path) const {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WindowsFileHost::IsLink(const std::filesystem::path& path) const {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void WindowsFileHost::MakeFolder(const std::filesystem::path& path) const {
    if (!::CreateDirectoryW(path.c_str(), nullptr))
        throw PlatformError("the folder cannot be made");
}

void WindowsFileHost::CopyOneFile(const std::filesystem::path& from,
                                  const std::filesystem::path& to) const {
    if (!::CopyFileW(from.c_str(), to.c_str(), FALSE))
        throw PlatformError("the file cannot be copied");
}

void WindowsFileHost::Remove(const std::filesystem::path& path) const {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw PlatformError("nothing to remove");
    // Both calls remove a link itself; neither descends into what it points to.
    const BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ::RemoveDirectoryW(path.c_str())
                                                                 : ::DeleteFileW(path.c_str());
    if (!removed) throw PlatformError("cannot be removed");
}

std::string WindowsFileHost::ReportText(const std::string& utf8) const {
    return AnsiText(utf8);
}

}  // namespace quimbro::win32
