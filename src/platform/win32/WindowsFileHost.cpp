#include "platform/win32/WindowsFileHost.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"
#include "platform/win32/Owners.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kUncPrefix = L"\\\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
// ReadFile and WriteFile take a DWORD count.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;

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

// The tag of a reparse point; 0 where the file system gives none.
std::uint32_t ReparseTagOf(const std::wstring& path) {
    std::wstring where = path;
    while (where.size() > 1 && where.back() == L'\\') where.pop_back();
    WIN32_FIND_DATAW found{};
    const FindHandle find(ValidOrNull(::FindFirstFileExW(where.c_str(), FindExInfoBasic, &found,
                                                         FindExSearchNameMatch, nullptr, 0)));
    return find ? found.dwReserved0 : 0;
}

FileHost::Entry EntryOf(std::string path, const std::wstring& name, const WIN32_FIND_DATAW& found) {
    const bool reparsePoint = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    // The listing gives a reparse point's tag in dwReserved0.
    return {std::move(path), Utf8(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
            reparsePoint, reparsePoint ? found.dwReserved0 : 0};
}

// The system's own form of a long path, as a rename through a handle takes it: \??\C:\... for
// \\?\C:\..., \??\UNC\... for \\?\UNC\....
std::wstring NtPath(const std::wstring& longPath) {
    if (!std::wstring_view(longPath).starts_with(kLongPrefix))
        throw PlatformError("not a long path");
    return L"\\??\\" + longPath.substr(kLongPrefix.size());
}

// A file as it stands, shared with the program that keeps writing it.
class SharedSource final : public FileHost::Source {
  public:
    explicit SharedSource(const std::string& path)
        : file_(ValidOrNull(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                          nullptr))) {
        if (!file_) throw PlatformError("the file cannot be opened");
        LARGE_INTEGER size{};
        FILETIME lastWrite{};
        if (!::GetFileSizeEx(file_.Get(), &size) ||
            !::GetFileTime(file_.Get(), nullptr, nullptr, &lastWrite))
            throw PlatformError("the file cannot be examined");
        size_ = static_cast<std::uint64_t>(size.QuadPart);
        lastWrite_ = static_cast<FileHost::Stamp>((std::uint64_t{lastWrite.dwHighDateTime} << 32) |
                                                  lastWrite.dwLowDateTime);
    }

    std::uint64_t Size() const override { return size_; }
    FileHost::Stamp LastWrite() const override { return lastWrite_; }

    std::size_t Read(std::span<char> buffer) override {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), kMaxChunk));
        if (!::ReadFile(file_.Get(), buffer.data(), wanted, &read, nullptr) || read > wanted)
            throw PlatformError("the file cannot be read");
        return read;
    }

  private:
    KernelHandle file_;
    std::uint64_t size_ = 0;
    FileHost::Stamp lastWrite_ = 0;
};

// A copy or the report, with normal attributes. A large copy has its length set beforehand.
// Only a copy, renamed through its handle, is opened for deletion too: others then cannot open
// it without sharing deletion, and the report is for them to read during a run.
class PlainTarget final : public FileHost::Target {
  public:
    PlainTarget(const std::string& path, std::uint64_t size, DWORD access)
        : file_(ValidOrNull(
              ::CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr))) {
        if (!file_) throw PlatformError("the copy cannot be created");
        if (size >= FileHost::kPlacedFrom) {
            try {
                EndAt(size);
                MoveTo(0);
            } catch (const PlatformError&) {
                // No room for it: the empty file just made goes again.
                file_.Reset();
                ::DeleteFileW(Wide(path).c_str());
                throw;
            }
            placed_ = size;
        }
    }

    void Write(std::span<const char> bytes) override {
        while (!bytes.empty()) {
            DWORD written = 0;
            const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kMaxChunk));
            if (!::WriteFile(file_.Get(), bytes.data(), wanted, &written, nullptr) ||
                written == 0 || written > wanted)
                throw PlatformError("the copy cannot be written");
            bytes = bytes.subspan(written);
            written_ += written;
        }
    }

    std::uint64_t Stored() const override { return std::max(placed_, written_); }

    void Finish(std::optional<FileHost::Stamp> lastWrite,
                const std::optional<std::string>& name) override {
        // The source may have shrunk since it was opened.
        if (placed_ != 0 && placed_ != written_) EndAt(written_);
        if (lastWrite) {
            const auto stamp = static_cast<std::uint64_t>(*lastWrite);
            const FILETIME time{static_cast<DWORD>(stamp), static_cast<DWORD>(stamp >> 32)};
            if (!::SetFileTime(file_.Get(), nullptr, nullptr, &time))
                throw PlatformError("the copy's time cannot be set");
        }
        if (name) RenameTo(Wide(*name));
        if (!::CloseHandle(file_.Detach())) throw PlatformError("the copy cannot be closed");
    }

  private:
    // Renamed through the handle it was written by: asking for the file again by its path, as
    // MoveFileExW does, costs a copy of many small logs a third more time under Wine.
    void RenameTo(const std::wstring& path) {
        const std::wstring name = NtPath(path);
        std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) +
                                          (name.size() + 1) * sizeof(wchar_t));
        auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        info->ReplaceIfExists = TRUE;
        info->RootDirectory = nullptr;
        info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
        std::copy(name.begin(), name.end(), info->FileName);
        if (!::SetFileInformationByHandle(file_.Get(), FileRenameInfo, info,
                                          static_cast<DWORD>(buffer.size())))
            throw PlatformError("the copy cannot take its name");
    }

    void MoveTo(std::uint64_t offset) {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!::SetFilePointerEx(file_.Get(), at, nullptr, FILE_BEGIN))
            throw PlatformError("the copy cannot be sized");
    }
    void EndAt(std::uint64_t size) {
        MoveTo(size);
        if (!::SetEndOfFile(file_.Get())) throw PlatformError("the copy cannot be sized");
    }

    KernelHandle file_;
    std::uint64_t placed_ = 0;
    std::uint64_t written_ = 0;
};

// The volume's own size, where this Windows tells it (10 1903 and later; under a disk quota the
// total GetDiskFreeSpaceExW gives is the user's); 0 where it is unknown.
std::uint64_t VolumeSize(const std::wstring& folder) {
    struct DiskSpaceInformation {
        ULONGLONG actualTotalAllocationUnits, actualAvailableAllocationUnits,
            actualPoolUnavailableAllocationUnits, callerTotalAllocationUnits,
            callerAvailableAllocationUnits, callerPoolUnavailableAllocationUnits,
            usedAllocationUnits, totalReservedAllocationUnits, volumeStorageReserveAllocationUnits,
            availableCommittedAllocationUnits, poolAvailableAllocationUnits;
        DWORD sectorsPerAllocationUnit, bytesPerSector;
    };
    using GetDiskSpaceInformationFunction = HRESULT WINAPI(LPCWSTR, DiskSpaceInformation*);
    static const auto information = LoadedProcedure<GetDiskSpaceInformationFunction>(
        L"kernel32.dll", "GetDiskSpaceInformationW");
    // It takes the volume's root only.
    std::wstring root(folder.size() + 1, L'\0');
    if (information == nullptr ||
        !::GetVolumePathNameW(folder.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return 0;
    root.resize(root.find(L'\0'));
    DiskSpaceInformation space{};
    if (FAILED(information(root.c_str(), &space))) return 0;
    return std::uint64_t{space.actualTotalAllocationUnits} * space.sectorsPerAllocationUnit *
           space.bytesPerSector;
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

std::string WindowsFileHost::Native(const std::string& windowsPath) const {
    return Utf8(LongPath(Wide(windowsPath)));
}

std::string WindowsFileHost::Child(const std::string& folder, const std::string& name) const {
    return folder.ends_with('\\') ? folder + name : folder + '\\' + name;
}

std::vector<FileHost::Entry> WindowsFileHost::List(const std::string& folder) const {
    const std::wstring where = Wide(folder);
    const std::wstring pattern = where.ends_with(L'\\') ? where + L"*" : where + L"\\*";
    WIN32_FIND_DATAW found{};
    FindHandle find(
        ValidOrNull(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH)));
    if (!find) throw PlatformError("the folder cannot be listed");
    std::vector<Entry> entries;
    do {
        found.cFileName[MAX_PATH - 1] = L'\0';
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back(EntryOf(Child(folder, Utf8(name)), name, found));
    } while (::FindNextFileW(find.Get(), &found));
    if (::GetLastError() != ERROR_NO_MORE_FILES)
        throw PlatformError("the folder listing broke off");
    return entries;
}

std::optional<FileHost::Entry> WindowsFileHost::Find(const std::string& path) const {
    const std::wstring where = Wide(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(where.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    const bool reparsePoint = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return Entry{path, SplitLastComponent(path).second,
                 (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, reparsePoint,
                 reparsePoint ? ReparseTagOf(where) : 0};
}

void WindowsFileHost::MakeFolder(const std::string& path) const {
    using RtlGetLastNtStatusFunction = LONG NTAPI();
    static const auto lastStatus =
        LoadedProcedure<RtlGetLastNtStatusFunction>(L"ntdll.dll", "RtlGetLastNtStatus");
    constexpr auto kStatusDeletePending = static_cast<LONG>(0xC0000056);
    const std::wstring where = Wide(path);
    if (::CreateDirectoryW(where.c_str(), nullptr)) return;
    // A folder deleted while another program holds it keeps its name until that program lets go.
    const bool held = ::GetLastError() == ERROR_ACCESS_DENIED && lastStatus != nullptr &&
                      lastStatus() == kStatusDeletePending;
    throw PlatformError("the folder cannot be made",
                        held ? PlatformError::Reason::Held : PlatformError::Reason::Other);
}

std::unique_ptr<FileHost::Source> WindowsFileHost::OpenSource(const std::string& path) const {
    return std::make_unique<SharedSource>(path);
}

std::unique_ptr<FileHost::Target> WindowsFileHost::CreateTarget(const std::string& path,
                                                                std::uint64_t size) const {
    return std::make_unique<PlainTarget>(path, size, GENERIC_WRITE | DELETE);
}

std::unique_ptr<FileHost::Target> WindowsFileHost::CreateReport(const std::string& path) const {
    return std::make_unique<PlainTarget>(path, 0, GENERIC_WRITE);
}

FileHost::Space WindowsFileHost::SpaceOf(const std::string& folder) const {
    std::wstring where = Wide(folder);
    if (!where.ends_with(L'\\')) where += L'\\';
    ULARGE_INTEGER available{}, total{}, free{};
    if (!::GetDiskFreeSpaceExW(where.c_str(), &available, &total, &free) || total.QuadPart == 0)
        throw PlatformError("the volume's space is unknown");
    return {available.QuadPart, free.QuadPart, VolumeSize(where)};
}

void WindowsFileHost::Remove(const std::string& path) const {
    const std::wstring where = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(where.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw PlatformError("nothing to remove");
    // Both calls remove a link itself; neither descends into what it points to.
    const BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ::RemoveDirectoryW(where.c_str())
                                                                 : ::DeleteFileW(where.c_str());
    if (removed) return;
    // Emptied, and still not empty: an entry deleted is still held by another program.
    const bool held = ::GetLastError() == ERROR_DIR_NOT_EMPTY;
    throw PlatformError("cannot be removed",
                        held ? PlatformError::Reason::Held : PlatformError::Reason::Other);
}

std::string WindowsFileHost::ReportText(const std::string& utf8) const {
    return AnsiText(utf8);
}

}  // namespace quimbro::win32
