#include "platform/PortableFileSystem.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <system_error>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"

namespace fs = std::filesystem;

namespace quimbro {

std::string Utf8Name(const fs::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool IsLink(const FileHost::Entry& entry) {
    // The name-surrogate bit of a reparse tag: the point stands for another place.
    constexpr std::uint32_t kNameSurrogate = 0x20000000;
    return entry.reparsePoint && (entry.reparseTag == 0 || (entry.reparseTag & kNameSurrogate));
}

bool LeavesReserve(const FileHost::Space& space, std::uint64_t size) {
    constexpr std::uint64_t kReserve = std::uint64_t{1} << 30;
    const std::uint64_t reserve = std::min(kReserve, space.total / 20);
    return space.free >= reserve && space.free - reserve >= size;
}

namespace {

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

// The entries of the source's folder whose names match its last component; links are
// never among them.
std::vector<FileHost::Entry> Matches(const FileHost& host, const std::string& source) {
    const auto [folder, pattern] = SplitLastComponent(source);
    std::vector<FileHost::Entry> found;
    for (auto& entry : host.List(host.Native(folder.empty() ? std::string(".") : folder)))
        if (!IsLink(entry) && MatchesWildcard(pattern, entry.name))
            found.push_back(std::move(entry));
    return found;
}

bool IsFolder(const FileHost& host, const fs::path& path) {
    const auto found = host.Find(path);
    return found && found->folder;
}

fs::path DestinationFolder(const FileHost& host, const std::string& destination) {
    auto folder = host.Native(destination);
    if (!IsFolder(host, folder)) throw PlatformError("destination folder missing");
    return folder;
}

// Removes what a folder holds, then the folder. Links are removed as links.
void RemoveTree(const FileHost& host, const fs::path& folder) {
    for (const auto& entry : host.List(folder)) {
        if (entry.folder && !IsLink(entry))
            RemoveTree(host, entry.path);
        else
            host.Remove(entry.path);
    }
    host.Remove(folder);
}

// One copy row: every match is tried, and one that cannot be copied costs only itself. The
// row fails when anything was left out, or nothing matched.
class Copier {
  public:
    explicit Copier(const FileHost& host) : host_(host), buffer_(kBufferSize) {}

    // Each file or folder; a failure is kept for the end of the row.
    template <class Step>
    void Try(Step&& step) {
        try {
            Translated(std::forward<Step>(step));
        } catch (const std::exception&) {
            incomplete_ = true;
        }
    }

    // A folder's contents into `to`, which is made when missing. Links are skipped:
    // following one could loop, or bring in files from outside the product's folder.
    void Tree(const fs::path& from, const fs::path& to) {
        if (!IsFolder(host_, to)) host_.MakeFolder(to);
        for (const auto& entry : host_.List(from)) {
            if (IsLink(entry)) continue;
            const auto target = to / entry.path.filename();
            if (entry.folder)
                Try([&] { Tree(entry.path, target); });
            else
                Try([&] { File(entry.path, target); });
        }
    }

    // The file as it stands at this moment, also while its program keeps writing it. A copy
    // that breaks off is removed, so no half file lies under the final name.
    void File(const fs::path& from, const fs::path& to) {
        const auto source = host_.OpenSource(from);
        MakeRoomFor(to.parent_path(), source->Size());
        auto target = host_.CreateTarget(to, source->Size());
        try {
            while (const std::size_t read = source->Read(buffer_)) {
                target->Write(std::span<const char>(buffer_.data(), read));
                Spent(read);
            }
            target->Finish(source->LastWrite());
        } catch (...) {
            target.reset();
            try {
                host_.Remove(to);
            } catch (const std::exception&) {
            }
            throw;
        }
    }

    void Matched() { matched_ = true; }
    void Conclude(const char* nothingMatched) const {
        if (!matched_) throw PlatformError(nothingMatched);
        if (incomplete_) throw PlatformError("some matches could not be copied");
    }

  private:
    // Large reads and writes keep a big log's copy at the disk's pace.
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;
    // The volume is asked again after this much, or when the count kept since says a file
    // would not fit; asking before every file would cost more than many a small copy.
    static constexpr std::uint64_t kRecount = std::uint64_t{256} << 20;

    // The system disk must keep room for the services the customer called about.
    void MakeRoomFor(const fs::path& folder, std::uint64_t size) {
        if (!space_ || sinceCounted_ >= kRecount || !LeavesReserve(*space_, size)) {
            space_ = host_.SpaceOf(folder);
            sinceCounted_ = 0;
        }
        if (!LeavesReserve(*space_, size)) throw PlatformError("the copy would fill the volume");
    }
    void Spent(std::uint64_t size) {
        space_->free -= std::min(space_->free, size);
        sinceCounted_ += size;
    }

    const FileHost& host_;
    std::vector<char> buffer_;
    std::optional<FileHost::Space> space_;
    std::uint64_t sinceCounted_ = 0;
    bool matched_ = false;
    bool incomplete_ = false;
};

class FileTextStream final : public TextStream {
  public:
    FileTextStream(std::shared_ptr<const FileHost> host, const fs::path& path)
        : host_(std::move(host)), out_(host_->CreateTarget(path, 0)) {}

    // Each line goes to the file at once, so a run that is killed keeps what it wrote.
    void WriteLine(const std::string& line) override {
        if (!out_) throw PlatformError("the text file is closed");
        const std::string stored = host_->ReportText(line) + "\r\n";
        out_->Write(stored);
    }

    void Close() override {
        if (!out_) throw PlatformError("the text file is closed");
        const auto closing = std::move(out_);
        closing->Finish(std::nullopt);
    }

  private:
    std::shared_ptr<const FileHost> host_;
    std::unique_ptr<FileHost::Target> out_;
};

}  // namespace

bool PortableFileSystem::FolderExists(const std::string& path) {
    return Translated([&] { return IsFolder(*host_, host_->Native(path)); });
}

void PortableFileSystem::DeleteFolder(const std::string& path) {
    Translated([&] {
        const auto folder = host_->Native(path);
        const auto found = host_->Find(folder);
        if (!found || !found->folder) throw PlatformError("no such folder");
        if (IsLink(*found))
            host_->Remove(folder);
        else
            RemoveTree(*host_, folder);
    });
}

void PortableFileSystem::CreateFolder(const std::string& path) {
    Translated([&] { host_->MakeFolder(host_->Native(path)); });
}

void PortableFileSystem::CopyFolder(const std::string& source, const std::string& destination) {
    Translated([&] {
        const auto into = DestinationFolder(*host_, destination);
        Copier copier(*host_);
        for (const auto& match : Matches(*host_, source)) {
            if (!match.folder) continue;
            copier.Matched();
            copier.Try([&] { copier.Tree(match.path, into / match.path.filename()); });
        }
        copier.Conclude("no folder matches");
    });
}

void PortableFileSystem::CopyFile(const std::string& source, const std::string& destination) {
    Translated([&] {
        const auto into = DestinationFolder(*host_, destination);
        Copier copier(*host_);
        for (const auto& match : Matches(*host_, source)) {
            if (match.folder) continue;
            copier.Matched();
            copier.Try([&] { copier.File(match.path, into / match.path.filename()); });
        }
        copier.Conclude("no file matches");
    });
}

std::unique_ptr<TextStream> PortableFileSystem::CreateTextFile(const std::string& path) {
    return Translated([&] { return std::make_unique<FileTextStream>(host_, host_->Native(path)); });
}

}  // namespace quimbro
