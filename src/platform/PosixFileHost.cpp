#include "platform/PosixFileHost.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <system_error>

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

void PosixFileHost::MakeFolder(const std::string& path) const {
    if (!Translated([&] { return fs::create_directory(path); }))
        throw PlatformError("folder exists");
}

namespace {

class PosixSource final : public FileHost::Source {
  public:
    explicit PosixSource(const std::string& path)
        : in_(path, std::ios::binary),
          size_(fs::file_size(path)),
          lastWrite_(fs::last_write_time(path).time_since_epoch().count()) {
        if (!in_) throw PlatformError("the file cannot be opened");
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
    PosixTarget(std::string path, std::uint64_t size)
        : path_(std::move(path)), out_(path_, std::ios::binary | std::ios::trunc) {
        if (!out_) throw PlatformError("the copy cannot be created");
        if (size >= FileHost::kPlacedFrom) {
            Translated([&] { fs::resize_file(path_, size); });
            placed_ = size;
        }
    }
    void Write(std::span<const char> bytes) override {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out_.flush();
        if (!out_) throw PlatformError("the copy cannot be written");
        written_ += bytes.size();
    }
    std::uint64_t Stored() const override { return std::max(placed_, written_); }
    void Finish(std::optional<FileHost::Stamp> lastWrite,
                const std::optional<std::string>& name) override {
        out_.close();
        if (!out_) throw PlatformError("the copy cannot be closed");
        if (placed_ > written_) Translated([&] { fs::resize_file(path_, written_); });
        if (lastWrite)
            Translated([&] {
                fs::last_write_time(path_,
                                    fs::file_time_type(fs::file_time_type::duration(*lastWrite)));
            });
        if (name) Translated([&] { fs::rename(path_, *name); });
    }

  private:
    std::string path_;
    std::ofstream out_;
    std::uint64_t placed_ = 0;
    std::uint64_t written_ = 0;
};

}  // namespace

std::unique_ptr<FileHost::Source> PosixFileHost::OpenSource(const std::string& path) const {
    return Translated([&] { return std::make_unique<PosixSource>(path); });
}

std::unique_ptr<FileHost::Target> PosixFileHost::CreateTarget(const std::string& path,
                                                              std::uint64_t size) const {
    return std::make_unique<PosixTarget>(path, size);
}

std::unique_ptr<FileHost::Target> PosixFileHost::CreateReport(const std::string& path) const {
    return std::make_unique<PosixTarget>(path, 0);
}

FileHost::Space PosixFileHost::SpaceOf(const std::string& folder) const {
    const auto space = Translated([&] { return fs::space(folder); });
    return {space.available, space.free, space.capacity};
}

void PosixFileHost::Remove(const std::string& path) const {
    if (!Translated([&] { return fs::remove(path); })) throw PlatformError("nothing to remove");
}

}  // namespace quimbro
