#include "platform/PosixFileHost.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <system_error>
#include <utility>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"

namespace fs = std::filesystem;

namespace quimbro {

namespace {

std::string Text(const fs::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Library failures become the run's one kind of failure.
template <class F>
auto Translated(F&& operation) -> decltype(operation()) {
    try {
        return operation();
    } catch (const fs::filesystem_error& e) {
        throw PlatformError(e.what());
    } catch (const std::system_error& e) {
        throw PlatformError(e.what());
    }
}

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
        if (EqualsIgnoringCase(Text(it->path().filename()), Text(name)))
            return it->path().filename();
    return name;
}
}  // namespace

std::string PosixFileHost::Native(const std::string& windowsPath) const {
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
    return resolved.empty() ? std::string(".") : Text(resolved);
}

std::string PosixFileHost::Child(const std::string& folder, const std::string& name) const {
    return Text(fs::path(folder) / name);
}

std::vector<FileHost::Entry> PosixFileHost::List(const std::string& folder) const {
    return Translated([&] {
        std::vector<Entry> entries;
        for (const auto& entry : fs::directory_iterator(folder))
            if (auto found = Find(Text(entry.path()))) entries.push_back(std::move(*found));
        return entries;
    });
}

std::optional<FileHost::Entry> PosixFileHost::Find(const std::string& path) const {
    // Windows' tag for a symbolic link.
    constexpr std::uint32_t kSymbolicLinkTag = 0xA000000C;
    std::error_code ec;
    const auto status = fs::symlink_status(path, ec);
    if (ec || !fs::exists(status)) return std::nullopt;
    const bool link = fs::is_symlink(status);
    return Entry{path, Text(fs::path(path).filename()), fs::is_directory(path, ec), link,
                 link ? kSymbolicLinkTag : 0};
}

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&&) = delete;
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

// A folder and the one it was opened in, through which it is removed.
class PosixFolder final : public FileHost::Folder {
  public:
    PosixFolder(std::string path, Descriptor fd, Descriptor parent, std::string name)
        : Folder(std::move(path)),
          fd_(std::move(fd)),
          parent_(std::move(parent)),
          name_(std::move(name)) {}
    int Fd() const { return fd_.Get(); }
    int Parent() const { return parent_.Get(); }
    const std::string& Name() const { return name_; }

  private:
    Descriptor fd_;
    Descriptor parent_;
    std::string name_;
};

const PosixFolder& Of(const FileHost::Folder& folder) {
    return static_cast<const PosixFolder&>(folder);
}

int FdOf(const FileHost::Folder& folder) {
    return Of(folder).Fd();
}

// Fails on a link, which O_NOFOLLOW refuses unless it is to be followed, and on anything but a
// folder.
FileHost::FolderRef OpenedFolder(int at, const std::string& name, std::string path,
                                 bool followLink = false) {
    Descriptor fd(::openat(at, name.c_str(),
                           O_RDONLY | O_DIRECTORY | (followLink ? 0 : O_NOFOLLOW) | O_CLOEXEC));
    if (fd.Get() < 0) throw PlatformError("not a folder of its own");
    const auto split = fs::path(name);
    Descriptor parent(at == AT_FDCWD ? ::open(Text(fs::absolute(split).parent_path()).c_str(),
                                              O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                     : ::fcntl(at, F_DUPFD_CLOEXEC, 0));
    if (parent.Get() < 0) throw PlatformError("the folder's parent cannot be opened");
    return std::make_shared<PosixFolder>(std::move(path), std::move(fd), std::move(parent),
                                         Text(split.filename()));
}

}  // namespace

FileHost::FolderRef PosixFileHost::OpenFolder(const std::string& path, bool followLink) const {
    return OpenedFolder(AT_FDCWD, path, path, followLink);
}

FileHost::FolderRef PosixFileHost::OpenChild(const Folder& parent, const std::string& name) const {
    return OpenedFolder(FdOf(parent), name, Child(parent.Path(), name));
}

FileHost::FolderRef PosixFileHost::MakeFolder(const Folder& parent, const std::string& name) const {
    if (::mkdirat(FdOf(parent), name.c_str(), 0777) != 0) throw PlatformError("folder exists");
    return OpenChild(parent, name);
}

namespace {

class PosixSource final : public FileHost::Source {
  public:
    explicit PosixSource(const std::string& path)
        : in_(path, std::ios::binary), size_(fs::file_size(path)), lastWrite_(0) {
        if (!in_) throw PlatformError("the file cannot be opened");
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0) throw PlatformError("the file cannot be examined");
        lastWrite_ = FileHost::Stamp{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec;
    }
    std::uint64_t Size() const override { return size_; }
    FileHost::Stamp LastWrite() const override { return lastWrite_; }
    std::size_t Read(std::span<char> buffer) override {
        in_.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (in_.bad()) throw PlatformError("the file cannot be read");
        return static_cast<std::size_t>(in_.gcount());
    }

  private:
    std::ifstream in_;
    std::uint64_t size_;
    FileHost::Stamp lastWrite_;
};

// A big copy has its length set beforehand, as on Windows.
class PosixTarget final : public FileHost::Target {
  public:
    PosixTarget(int folder, std::string name, std::uint64_t size)
        : folder_(folder),
          name_(std::move(name)),
          out_(::openat(folder_, name_.c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666)) {
        if (out_.Get() < 0) throw PlatformError("the copy cannot be created");
        if (size >= FileHost::kPlacedFrom) {
            EndAt(size);
            placed_ = size;
        }
    }
    void Write(std::span<const char> bytes) override {
        while (!bytes.empty()) {
            const auto written = ::write(out_.Get(), bytes.data(), bytes.size());
            if (written <= 0) throw PlatformError("the copy cannot be written");
            bytes = bytes.subspan(static_cast<std::size_t>(written));
            written_ += static_cast<std::uint64_t>(written);
        }
    }
    std::uint64_t Stored() const override { return std::max(placed_, written_); }
    // The stamp is nanoseconds since 1970.
    void Finish(std::optional<FileHost::Stamp> lastWrite,
                const std::optional<std::string>& name) override {
        if (placed_ > written_) EndAt(written_);
        if (lastWrite) {
            const std::chrono::nanoseconds stamp(*lastWrite);
            const auto seconds = std::chrono::floor<std::chrono::seconds>(stamp);
            const timespec times[2] = {{0, UTIME_OMIT},
                                       {static_cast<time_t>(seconds.count()),
                                        static_cast<long>((stamp - seconds).count())}};
            if (::futimens(out_.Get(), times) != 0)
                throw PlatformError("the copy's time cannot be set");
        }
        if (name && ::renameat(folder_, name_.c_str(), folder_, name->c_str()) != 0)
            throw PlatformError("the copy cannot take its name");
        if (::close(out_.Release()) != 0) throw PlatformError("the copy cannot be closed");
    }

  private:
    void EndAt(std::uint64_t size) {
        if (::ftruncate(out_.Get(), static_cast<off_t>(size)) != 0)
            throw PlatformError("the copy cannot be sized");
    }

    int folder_;
    std::string name_;
    Descriptor out_;
    std::uint64_t placed_ = 0;
    std::uint64_t written_ = 0;
};

}  // namespace

std::unique_ptr<FileHost::Source> PosixFileHost::OpenSource(const std::string& path) const {
    return Translated([&] { return std::make_unique<PosixSource>(path); });
}

std::unique_ptr<FileHost::Target> PosixFileHost::CreateTarget(const Folder& folder,
                                                              const std::string& name,
                                                              std::uint64_t size) const {
    return std::make_unique<PosixTarget>(FdOf(folder), name, size);
}

std::unique_ptr<FileHost::Target> PosixFileHost::CreateReport(const Folder& folder,
                                                              const std::string& name) const {
    return std::make_unique<PosixTarget>(FdOf(folder), name, 0);
}

FileHost::Space PosixFileHost::SpaceOf(const std::string& folder) const {
    const auto space = Translated([&] { return fs::space(folder); });
    return {space.available, space.free, space.capacity};
}

std::vector<FileHost::Entry> PosixFileHost::Entries(const Folder& folder) const {
    // Listed through a descriptor of its own, as reading moves the descriptor's place.
    DIR* const listing =
        ::fdopendir(::openat(FdOf(folder), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing) throw PlatformError("the folder cannot be listed");
    std::vector<Entry> entries;
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (auto found = Find(Child(folder.Path(), name))) entries.push_back(std::move(*found));
    }
    const bool complete = errno == 0;
    ::closedir(listing);
    if (!complete) throw PlatformError("the folder listing broke off");
    return entries;
}

void PosixFileHost::RemoveIn(const Folder& folder, const std::string& name) const {
    if (::unlinkat(FdOf(folder), name.c_str(), 0) != 0) throw PlatformError("cannot be removed");
}

void PosixFileHost::RemoveFolder(const Folder& folder) const {
    const auto& own = Of(folder);
    if (::unlinkat(own.Parent(), own.Name().c_str(), AT_REMOVEDIR) != 0)
        throw PlatformError("cannot be removed");
}

}  // namespace quimbro
