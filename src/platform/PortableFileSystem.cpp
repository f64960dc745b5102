#include "platform/PortableFileSystem.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"

namespace quimbro {

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

bool IsFolder(const FileHost& host, const std::string& path) {
    const auto found = host.Find(path);
    return found && found->folder;
}

std::string DestinationFolder(const FileHost& host, const std::string& destination) {
    auto folder = host.Native(destination);
    if (!IsFolder(host, folder)) throw PlatformError("destination folder missing");
    return folder;
}

// Removes what a folder holds, then the folder. Links are removed as links.
void RemoveTree(const FileHost& host, const std::string& folder) {
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
    explicit Copier(const FileHost& host)
        : host_(host), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

    // Each file or folder; a failure is kept for the end of the row.
    template <class Step>
    void Try(Step&& step) {
        try {
            std::forward<Step>(step)();
        } catch (const std::exception&) {
            incomplete_ = true;
        }
    }

    // A folder's contents into the folder `to`, which is made when missing. Links are
    // skipped: following one could loop, or bring in files from outside the product's folder.
    void Tree(const std::string& from, const std::string& to) {
        if (!IsFolder(host_, to)) host_.MakeFolder(to);
        for (const auto& entry : host_.List(from)) {
            if (IsLink(entry)) continue;
            if (entry.folder)
                Try([&] { Tree(entry.path, host_.Child(to, entry.name)); });
            else
                Try([&] { File(entry, to); });
        }
    }

    // The file as it stands at this moment, also while its program keeps writing it, into
    // the folder under its own name. A copy that breaks off is removed, so no half file lies
    // under the final name.
    void File(const FileHost::Entry& from, const std::string& into) {
        const auto source = host_.OpenSource(from.path);
        MakeRoomFor(into, source->Size());
        const std::string to = host_.Child(into, from.name);
        auto target = host_.CreateTarget(to, source->Size());
        try {
            while (const std::size_t read = source->Read({buffer_.get(), kBufferSize})) {
                target->Write({buffer_.get(), read});
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
    void MakeRoomFor(const std::string& folder, std::uint64_t size) {
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
    // Left as it comes: a page costs memory only once a file as large reaches it.
    std::unique_ptr<char[]> buffer_;
    std::optional<FileHost::Space> space_;
    std::uint64_t sinceCounted_ = 0;
    bool matched_ = false;
    bool incomplete_ = false;
};

class FileTextStream final : public TextStream {
  public:
    FileTextStream(std::shared_ptr<const FileHost> host, const std::string& path)
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
    return IsFolder(*host_, host_->Native(path));
}

void PortableFileSystem::DeleteFolder(const std::string& path) {
    const auto folder = host_->Native(path);
    const auto found = host_->Find(folder);
    if (!found || !found->folder) throw PlatformError("no such folder");
    if (IsLink(*found))
        host_->Remove(folder);
    else
        RemoveTree(*host_, folder);
}

void PortableFileSystem::CreateFolder(const std::string& path) {
    host_->MakeFolder(host_->Native(path));
}

void PortableFileSystem::CopyFolder(const std::string& source, const std::string& destination) {
    const auto into = DestinationFolder(*host_, destination);
    Copier copier(*host_);
    for (const auto& match : Matches(*host_, source)) {
        if (!match.folder) continue;
        copier.Matched();
        copier.Try([&] { copier.Tree(match.path, host_->Child(into, match.name)); });
    }
    copier.Conclude("no folder matches");
}

void PortableFileSystem::CopyFile(const std::string& source, const std::string& destination) {
    const auto into = DestinationFolder(*host_, destination);
    Copier copier(*host_);
    for (const auto& match : Matches(*host_, source)) {
        if (match.folder) continue;
        copier.Matched();
        copier.Try([&] { copier.File(match, into); });
    }
    copier.Conclude("no file matches");
}

std::unique_ptr<TextStream> PortableFileSystem::CreateTextFile(const std::string& path) {
    return std::make_unique<FileTextStream>(host_, host_->Native(path));
}

}  // namespace quimbro
