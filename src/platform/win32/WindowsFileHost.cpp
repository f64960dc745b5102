#include "platform/win32/WindowsFileHost.h"

#include <winternl.h>

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

// What a folder handle may do: list the folder and make things in it by name; one opened in
// a folder already open may also be deleted.
constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// FileDispositionInfoEx and its flags, from Windows 10 1607 on.
constexpr auto kDispositionEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDeletePosix = 0x1 | 0x2;

class WindowsFolder final : public FileHost::Folder {
  public:
    WindowsFolder(std::string path, KernelHandle handle)
        : Folder(std::move(path)), handle_(std::move(handle)) {}
    HANDLE Get() const { return handle_.Get(); }

  private:
    KernelHandle handle_;
};

HANDLE HandleOf(const FileHost::Folder& folder) {
    return static_cast<const WindowsFolder&>(folder).Get();
}

// A function of ntdll, which every process has loaded.
template <class Function>
Function* NtdllProcedure(const char* name) {
    const auto procedure = LoadedProcedure<Function>(L"ntdll.dll", name);
    if (procedure == nullptr) throw PlatformError("the system lacks a function");
    return procedure;
}

// `name` opened or made relative to the folder `root`: a link there is opened itself, never
// what it names. Inheritable when asked.
KernelHandle OpenRelative(HANDLE root, const std::string& name, ACCESS_MASK access, ULONG share,
                          ULONG disposition, ULONG options, bool inheritable = false) {
    static const auto create = NtdllProcedure<decltype(::NtCreateFile)>("NtCreateFile");
    std::wstring wide = Wide(name);
    if (wide.empty() || wide.find_first_of(L"\\/") != std::wstring::npos)
        throw PlatformError("not a name");
    UNICODE_STRING text{static_cast<USHORT>(wide.size() * sizeof(wchar_t)),
                        static_cast<USHORT>(wide.size() * sizeof(wchar_t)), wide.data()};
    OBJECT_ATTRIBUTES attributes{};
    InitializeObjectAttributes(
        &attributes, &text, OBJ_CASE_INSENSITIVE | (inheritable ? OBJ_INHERIT : 0), root, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE opened = nullptr;
    const NTSTATUS result = create(
        &opened, access | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, share,
        disposition, options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT, nullptr, 0);
    KernelHandle file(result >= 0 ? opened : nullptr);
    // A folder deleted while another program holds it keeps its name until that program lets
    // go.
    constexpr auto kStatusDeletePending = static_cast<NTSTATUS>(0xC0000056);
    if (!file)
        throw PlatformError("cannot be opened in its folder", result == kStatusDeletePending
                                                                  ? PlatformError::Reason::Held
                                                                  : PlatformError::Reason::Other);
    return file;
}

// A folder that is no link, by its handle; and, as Wine shows its links only when a folder
// is listed, by the listing of its path too, unless a link there was followed on purpose.
FileHost::FolderRef Verified(const WindowsFileHost& host, std::string path, KernelHandle handle,
                             bool listing = true) {
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!::GetFileInformationByHandleEx(handle.Get(), FileAttributeTagInfo, &info, sizeof info))
        throw PlatformError("the folder cannot be examined");
    const bool reparsePoint = (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const FileHost::Entry opened{path,
                                 {},
                                 (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                 reparsePoint,
                                 reparsePoint ? info.ReparseTag : 0};
    const auto listed = listing ? host.Find(path) : std::optional{opened};
    if (!opened.folder || IsLink(opened) || !listed || IsLink(*listed))
        throw PlatformError("not a folder of its own");
    return std::make_shared<WindowsFolder>(std::move(path), std::move(handle));
}

// Where the file lies now, as the system names it (Wine's GetFinalPathNameByHandleW fails on
// long paths).
std::wstring FinalPath(HANDLE file) {
    static const auto query = NtdllProcedure<decltype(::NtQueryObject)>("NtQueryObject");
    std::vector<std::uint64_t> buffer(512);  // aligned as the answer must be
    for (;;) {
        ULONG needed = 0;
        const auto size = static_cast<ULONG>(buffer.size() * sizeof buffer[0]);
        const NTSTATUS status =
            query(file, static_cast<OBJECT_INFORMATION_CLASS>(1), buffer.data(), size, &needed);
        if (status >= 0) {
            const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
            return std::wstring(name->Buffer, name->Length / sizeof(wchar_t));
        }
        if (needed <= size) throw PlatformError("the file's place is unknown");
        buffer.resize(needed / sizeof buffer[0] + 1);
    }
}

// Removes the file or link `name` of the folder through its own handle.
void RemoveEntry(const FileHost::Folder& folder, const std::string& name) {
    const auto file = OpenRelative(HandleOf(folder), name, DELETE, kShareAll, FILE_OPEN, 0);
    // Windows opens a link itself; Wine opens what it names, which then lies elsewhere.
    std::wstring expected = FinalPath(HandleOf(folder));
    if (!expected.ends_with(L'\\')) expected += L'\\';
    expected += Wide(name);
    const std::wstring opened = FinalPath(file.Get());
    if (::CompareStringOrdinal(opened.c_str(), static_cast<int>(opened.size()), expected.c_str(),
                               static_cast<int>(expected.size()), TRUE) != CSTR_EQUAL)
        throw PlatformError("not in its folder");
    if (!DeleteByHandle(file.Get())) throw PlatformError("cannot be removed");
}

// A file made anew in the folder. A name put there since the folder was made (a hard link to
// another program's file, say) is removed first, never written through.
KernelHandle CreateAnew(const FileHost::Folder& folder, const std::string& name, ACCESS_MASK access,
                        ULONG share, ULONG options, bool inheritable = false) {
    try {
        return OpenRelative(HandleOf(folder), name, access, share, FILE_CREATE, options,
                            inheritable);
    } catch (const PlatformError&) {
        RemoveEntry(folder, name);
    }
    return OpenRelative(HandleOf(folder), name, access, share, FILE_CREATE, options, inheritable);
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
    PlainTarget(const FileHost::Folder& folder, const std::string& name, std::uint64_t size,
                DWORD access)
        : folder_(folder),
          file_(CreateAnew(folder, name, access, FILE_SHARE_READ,
                           FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY)) {
        if (size >= FileHost::kPlacedFrom) {
            try {
                EndAt(size);
                MoveTo(0);
            } catch (const PlatformError&) {
                // No room for it: the empty file just made goes again.
                DeleteByHandle(file_.Get());
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
        if (name) RenameTo(*name);
        if (!::CloseHandle(file_.Detach())) throw PlatformError("the copy cannot be closed");
    }

  private:
    // Renamed through the handle it was written by, to a name relative to its folder's handle:
    // asking for the file again by its path, as MoveFileExW does, costs a copy of many small
    // logs a third more time under Wine, and a path could lead elsewhere by now. Asked of the
    // system directly: SetFileInformationByHandle takes the name for a path of the current
    // folder under Wine.
    void RenameTo(const std::string& name) {
        using SetInformationFile =
            NTSTATUS NTAPI(HANDLE, IO_STATUS_BLOCK*, void*, ULONG, FILE_INFORMATION_CLASS);
        static const auto set = NtdllProcedure<SetInformationFile>("NtSetInformationFile");
        constexpr auto kFileRenameInformation = static_cast<FILE_INFORMATION_CLASS>(10);
        const std::wstring wide = Wide(name);
        // FILE_RENAME_INFO has the system's own layout.
        std::vector<std::uint64_t> buffer(
            (offsetof(FILE_RENAME_INFO, FileName) + (wide.size() + 1) * sizeof(wchar_t)) /
                sizeof(std::uint64_t) +
            1);
        auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        info->ReplaceIfExists = TRUE;
        info->RootDirectory = HandleOf(folder_);
        info->FileNameLength = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
        std::copy(wide.begin(), wide.end(), info->FileName);
        IO_STATUS_BLOCK status{};
        if (set(file_.Get(), &status, info, static_cast<ULONG>(buffer.size() * sizeof buffer[0]),
                kFileRenameInformation) < 0)
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

    const FileHost::Folder& folder_;
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

bool DeleteByHandle(HANDLE file) {
    // POSIX semantics free the name at once, also while another program holds the file.
    FILE_DISPOSITION_INFO_EX posix{kDeletePosix};
    if (::SetFileInformationByHandle(file, kDispositionEx, &posix, sizeof posix)) return true;
    FILE_DISPOSITION_INFO plain{TRUE};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &plain, sizeof plain) != FALSE;
}

KernelHandle CreateInheritedOutput(const FileHost::Folder& folder, const std::string& name) {
    return CreateAnew(folder, name, GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      FILE_NON_DIRECTORY_FILE, true);
}

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

FileHost::FolderRef WindowsFileHost::OpenFolder(const std::string& path, bool followLink) const {
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    KernelHandle folder(ValidOrNull(::CreateFileW(Wide(path).c_str(), kFolderAccess, kShareAll,
                                                  nullptr, OPEN_EXISTING, flags, nullptr)));
    if (!folder) throw PlatformError("the folder cannot be opened");
    return Verified(*this, path, std::move(folder), !followLink);
}

FileHost::FolderRef WindowsFileHost::OpenChild(const Folder& parent,
                                               const std::string& name) const {
    return Verified(*this, Child(parent.Path(), name),
                    OpenRelative(HandleOf(parent), name, kFolderAccess | DELETE, kShareAll,
                                 FILE_OPEN, FILE_DIRECTORY_FILE));
}

FileHost::FolderRef WindowsFileHost::MakeFolder(const Folder& parent,
                                                const std::string& name) const {
    return Verified(*this, Child(parent.Path(), name),
                    OpenRelative(HandleOf(parent), name, kFolderAccess, kShareAll, FILE_CREATE,
                                 FILE_DIRECTORY_FILE));
}

std::unique_ptr<FileHost::Source> WindowsFileHost::OpenSource(const std::string& path) const {
    return std::make_unique<SharedSource>(path);
}

std::unique_ptr<FileHost::Target> WindowsFileHost::CreateTarget(const Folder& folder,
                                                                const std::string& name,
                                                                std::uint64_t size) const {
    return std::make_unique<PlainTarget>(folder, name, size, GENERIC_WRITE | DELETE);
}

std::unique_ptr<FileHost::Target> WindowsFileHost::CreateReport(const Folder& folder,
                                                                const std::string& name) const {
    return std::make_unique<PlainTarget>(folder, name, 0, GENERIC_WRITE);
}

FileHost::Space WindowsFileHost::SpaceOf(const std::string& folder) const {
    std::wstring where = Wide(folder);
    if (!where.ends_with(L'\\')) where += L'\\';
    ULARGE_INTEGER available{}, total{}, free{};
    if (!::GetDiskFreeSpaceExW(where.c_str(), &available, &total, &free) || total.QuadPart == 0)
        throw PlatformError("the volume's space is unknown");
    return {available.QuadPart, free.QuadPart, VolumeSize(where)};
}

std::vector<FileHost::Entry> WindowsFileHost::Entries(const Folder& folder) const {
    std::vector<Entry> entries;
    std::vector<std::uint64_t> buffer(8 * 1024);  // aligned as the entries must be
    const auto bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    while (::GetFileInformationByHandleEx(HandleOf(folder), FileFullDirectoryInfo, buffer.data(),
                                          static_cast<DWORD>(buffer.size() * sizeof buffer[0]))) {
        for (std::size_t at = 0;;) {
            const auto* info = reinterpret_cast<const FILE_FULL_DIR_INFO*>(bytes + at);
            const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                const bool reparsePoint =
                    (info->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                // For a reparse point the listing gives its tag in place of the size of its
                // extended attributes.
                entries.push_back({Child(folder.Path(), Utf8(name)), Utf8(name),
                                   (info->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                   reparsePoint, reparsePoint ? info->EaSize : 0});
            }
            if (info->NextEntryOffset == 0) break;
            at += info->NextEntryOffset;
        }
    }
    if (::GetLastError() != ERROR_NO_MORE_FILES)
        throw PlatformError("the folder listing broke off");
    return entries;
}

void WindowsFileHost::RemoveIn(const Folder& folder, const std::string& name) const {
    RemoveEntry(folder, name);
}

void WindowsFileHost::RemoveFolder(const Folder& folder) const {
    if (DeleteByHandle(HandleOf(folder))) return;
    // Emptied, and still not empty: an entry deleted is still held by another program.
    const bool held = ::GetLastError() == ERROR_DIR_NOT_EMPTY;
    throw PlatformError("cannot be removed",
                        held ? PlatformError::Reason::Held : PlatformError::Reason::Other);
}

std::string WindowsFileHost::ReportText(const std::string& utf8) const {
    return AnsiText(utf8);
}

}  // namespace quimbro::win32
