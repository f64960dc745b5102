#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quimbro {

// The few things the file-system object asks of the host it runs on. Each raises
// PlatformError when it cannot do what was asked. Paths are the host's own, as UTF-8 text. What
// counts as a link is decided by the file-system object from what the host reports (IsLink below);
// the host follows nothing.
class FileHost {
  public:
    struct Entry {
        std::string path;
        std::string name;  // UTF-8
        bool folder = false;
        bool reparsePoint = false;
        std::uint32_t reparseTag = 0;  // as the file system gives it; 0 when it gives none
    };

    // A host's own time stamp, handed from a source to its copy unchanged.
    using Stamp = std::int64_t;

    // A file opened for copying, sharing read, write and delete with whoever holds it.
    class Source {
      public:
        virtual ~Source() = default;
        virtual std::uint64_t Size() const = 0;
        virtual Stamp LastWrite() const = 0;
        // Up to buffer.size() bytes; 0 at the end of the file.
        virtual std::size_t Read(std::span<char> buffer) = 0;
    };

    // A file being written, a copy or the report; never read-only. Each write is in the
    // file when it returns. Until Finish a copy may be incomplete.
    class Target {
      public:
        virtual ~Target() = default;
        virtual void Write(std::span<const char> bytes) = 0;
        // The bytes the file already takes from its volume: its length set beforehand, or what
        // was written.
        virtual std::uint64_t Stored() const = 0;
        // Closes the file at what was written; a copy takes its source's last-write time and,
        // given a name (in the same folder), takes that name as it closes, replacing a
        // file of that name. The report takes no name.
        virtual void Finish(std::optional<Stamp> lastWrite,
                            const std::optional<std::string>& name) = 0;
    };

    // A folder opened and found to be a folder that is no link. What is made, written or removed
    // in it is reached through it, never by a path: a folder swapped for a link once it is open
    // is never followed.
    class Folder {
      public:
        explicit Folder(std::string path) : path_(std::move(path)) {}
        virtual ~Folder() = default;
        Folder(const Folder&) = delete;
        Folder& operator=(const Folder&) = delete;
        // Its path when it was opened: for naming it and for its volume's space only.
        const std::string& Path() const { return path_; }

      private:
        std::string path_;
    };
    using FolderRef = std::shared_ptr<const Folder>;

    // A copy from this size has its length set beforehand, so the file system can place it in
    // one piece; for small files that costs more than it saves.
    static constexpr std::uint64_t kPlacedFrom = std::uint64_t{16} << 20;

    struct Space {
        // What the caller may still write there: a disk quota counts.
        std::uint64_t free = 0;
        // The volume's own, whoever writes: its free bytes and its size (0 when unknown).
        std::uint64_t volumeFree = 0;
        std::uint64_t volumeSize = 0;
    };

    virtual ~FileHost() = default;
    // The host's path for a Windows path (UTF-8, backslashes).
    virtual std::string Native(const std::string& windowsPath) const = 0;
    // The path of something named `name` in the folder.
    virtual std::string Child(const std::string& folder, const std::string& name) const = 0;
    // Everything in a folder but "." and "..".
    virtual std::vector<Entry> List(const std::string& folder) const = 0;
    // What is at the path, or nothing.
    virtual std::optional<Entry> Find(const std::string& path) const = 0;
    // The folder at the path, opened; fails when it is no folder, or a link.
    // A folder that is a link is opened where it leads only when `followLink` says so.
    virtual FolderRef OpenFolder(const std::string& path, bool followLink) const = 0;
    // The folder `name` in `parent`, opened without following a link; fails as OpenFolder.
    virtual FolderRef OpenChild(const Folder& parent, const std::string& name) const = 0;
    // Makes the folder `name` in `parent` and opens it; fails when something of that name
    // exists, for the reason Held while it is a folder deleted but still held.
    virtual FolderRef MakeFolder(const Folder& parent, const std::string& name) const = 0;
    virtual std::unique_ptr<Source> OpenSource(const std::string& path) const = 0;
    // A copy's temporary `name` in the folder, replacing a file of that name; `size` is what is
    // expected to come. Its new name, if any, is one in the same folder.
    virtual std::unique_ptr<Target> CreateTarget(const Folder& folder, const std::string& name,
                                                 std::uint64_t size) const = 0;
    // The report `name` in the folder, replacing a file of that name; others may read it while
    // it is written.
    virtual std::unique_ptr<Target> CreateReport(const Folder& folder,
                                                 const std::string& name) const = 0;
    virtual Space SpaceOf(const std::string& folder) const = 0;
    // Everything the folder holds but "." and "..", listed through its handle.
    virtual std::vector<Entry> Entries(const Folder& folder) const = 0;
    // Removes the file or link `name` of the folder through its handle, a link as a link,
    // leaving what it points to untouched.
    virtual void RemoveIn(const Folder& folder, const std::string& name) const = 0;
    // Removes the folder, once empty, through its own handle (on POSIX, by its name in the
    // folder it was opened in), never following what its name may lead to since. A folder whose
    // entries were all removed and is still not empty fails for the reason Held: one of them is
    // deleted but still held.
    virtual void RemoveFolder(const Folder& folder) const = 0;
    // A line of the report as it is stored: 8-bit text in the host's code page.
    virtual std::string ReportText(const std::string& utf8) const = 0;
};

// A link is a reparse point whose tag names another place (symbolic link, junction, mount
// point), or one with no tag at all. Other reparse points (cloud placeholders, deduplicated
// or compressed files) are ordinary files and folders.
bool IsLink(const FileHost::Entry& entry);

}  // namespace quimbro
