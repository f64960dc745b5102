#include "platform/PortableFileSystem.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "platform/CopyHandOff.h"
#include "platform/FileCopy.h"
#include "platform/PlatformError.h"
#include "platform/VolumeRoom.h"
#include "platform/WindowsPath.h"

namespace quimbro {

bool IsLink(const FileHost::Entry& entry) {
    // The name-surrogate bit of a reparse tag: the point stands for another place.
    constexpr std::uint32_t kNameSurrogate = 0x20000000;
    return entry.reparsePoint && (entry.reparseTag == 0 || (entry.reparseTag & kNameSurrogate));
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

// The folder `name` in `parent`, made when missing.
FileHost::FolderRef MadeOrOpened(const FileHost& host, const FileHost::Folder& parent,
                                 const std::string& name) {
    try {
        return host.MakeFolder(parent, name);
    } catch (const PlatformError&) {
        return host.OpenChild(parent, name);
    }
}

// The verified folder of a Windows path's parent, and the last component's name.
std::pair<FileHost::FolderRef, std::string> PlaceOf(VerifiedFolders& folders,
                                                    const std::string& path) {
    const auto [folder, name] = SplitLastComponent(path);
    if (name.empty()) throw PlatformError("no name");
    return {folders.At(folder), name};
}

// A folder deleted while another program still holds it (an Explorer window, the indexer, a
// scanner) keeps its name until that program lets go: its parent cannot be removed meanwhile
// ("not empty"), and a folder of that name cannot be made. Only such a step is tried again,
// until the wait has passed since the operation's first such failure; any other failure fails
// at once.
struct NameWait {
    std::chrono::milliseconds wait;
    std::optional<std::chrono::steady_clock::time_point> until;
};

void Retried(NameWait& held, const std::function<void()>& step) {
    constexpr std::chrono::milliseconds kRetrySlice{25};
    for (;;) {
        try {
            step();
            return;
        } catch (const PlatformError& e) {
            if (e.Why() != PlatformError::Reason::Held) throw;
            const auto now = std::chrono::steady_clock::now();
            if (!held.until) held.until = now + held.wait;
            if (now >= *held.until) throw;
        }
        std::this_thread::sleep_for(kRetrySlice);
    }
}

// Removes what a folder holds, then the folder. Each entry is reached through the handle of the
// folder it was listed in: a folder swapped for a link after its listing is removed as a link, and
// nothing outside is reached.
void RemoveTree(const FileHost& host, const FileHost::Folder& folder, NameWait& held) {
    for (const auto& entry : host.Entries(folder)) {
        FileHost::FolderRef inner;
        if (entry.folder && !IsLink(entry)) {
            try {
                inner = host.OpenChild(folder, entry.name);
            } catch (const PlatformError&) {
                // No longer a folder of its own: removed as what it is now.
            }
        }
        if (inner)
            RemoveTree(host, *inner, held);
        else
            host.RemoveIn(folder, entry.name);
    }
    Retried(held, [&] { host.RemoveFolder(folder); });
}

// One copy row: every match is tried, and one that cannot be copied costs only itself. The
// row fails when anything was left out, or nothing matched. A folder's files are copied two at
// a time, by the walk and on the worker; the row ends when every copy has ended.
class Row {
  public:
    Row(const FileHost& host, Worker& worker)
        : host_(host),
          room_(host),
          copy_(host, room_),
          buffer_(FileCopy::NewBuffer()),
          handOff_(worker, [this](const CopyHandOff::Pending& pending, std::span<char> buffer) {
              Try([&] { copy_.Into(pending.from, *pending.into, buffer); });
          }) {}

    // Each file or folder; a failure is kept for the end of the row.
    template <class Step>
    void Try(Step&& step) {
        try {
            std::forward<Step>(step)();
        } catch (const std::exception&) {
            incomplete_ = true;
        }
    }

    // A folder's contents into the folder `name` of `parent`, which is made when missing.
    // Links are skipped: following one could loop, or bring in files from outside the
    // product's folder.
    void Tree(const std::string& from, const FileHost::Folder& parent, const std::string& name) {
        const auto to = MadeOrOpened(host_, parent, name);
        for (auto& entry : host_.List(from)) {
            if (IsLink(entry)) continue;
            if (entry.folder)
                Try([&] { Tree(entry.path, *to, entry.name); });
            else
                Hand({std::move(entry), to});
        }
    }

    // Copied here, on the caller's thread.
    void File(const FileHost::Entry& from, const FileHost::Folder& into) {
        Try([&] { copy_.Into(from, into, {buffer_.get(), FileCopy::kBufferSize}); });
    }

    void Matched() { matched_ = true; }
    // Copies here what the worker has not taken, and waits for the worker's last copy.
    void Conclude(const char* nothingMatched) {
        while (const auto pending = handOff_.Untaken()) File(pending->from, *pending->into);
        handOff_.End();
        if (!matched_) throw PlatformError(nothingMatched);
        if (incomplete_) throw PlatformError("some matches could not be copied");
    }

  private:
    // To the worker while it keeps up, else copied here.
    void Hand(CopyHandOff::Pending pending) {
        if (!handOff_.Offer(pending)) File(pending.from, *pending.into);
    }

    const FileHost& host_;
    VolumeRoom room_;
    const FileCopy copy_;
    const FileCopy::Buffer buffer_;
    bool matched_ = false;
    std::atomic<bool> incomplete_ = false;
    // Last: ended first, while what the worker's copies use still exists.
    CopyHandOff handOff_;
};

class FileTextStream final : public TextStream {
  public:
    FileTextStream(std::shared_ptr<const FileHost> host, FileHost::FolderRef folder,
                   const std::string& name)
        : host_(std::move(host)),
          folder_(std::move(folder)),
          out_(host_->CreateReport(*folder_, name)) {}

    // Each line goes to the file at once, so a run that is killed keeps what it wrote.
    void WriteLine(const std::string& line) override {
        if (!out_) throw PlatformError("the text file is closed");
        const std::string stored = host_->ReportText(line) + "\r\n";
        out_->Write(stored);
    }

    void Close() override {
        if (!out_) throw PlatformError("the text file is closed");
        const auto closing = std::move(out_);
        closing->Finish(std::nullopt, std::nullopt);
    }

  private:
    std::shared_ptr<const FileHost> host_;
    FileHost::FolderRef folder_;
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
    folders_->Claim(path);
    folders_->Drop(folder);
    const auto [parent, name] = PlaceOf(*folders_, path);
    NameWait held{nameWait_, std::nullopt};
    if (IsLink(*found))
        host_->RemoveIn(*parent, name);
    else
        RemoveTree(*host_, *host_->OpenChild(*parent, name), held);
}

void PortableFileSystem::CreateFolder(const std::string& path) {
    folders_->Claim(path);
    const auto [parent, name] = PlaceOf(*folders_, path);
    NameWait held{nameWait_, std::nullopt};
    Retried(held, [&] { folders_->Keep(host_->MakeFolder(*parent, name)); });
}

void PortableFileSystem::CopyFolder(const std::string& source, const std::string& destination) {
    const auto into = folders_->At(destination);
    Row row(*host_, *worker_);
    for (const auto& match : Matches(*host_, source)) {
        if (!match.folder) continue;
        row.Matched();
        row.Try([&] { row.Tree(match.path, *into, match.name); });
    }
    row.Conclude("no folder matches");
}

void PortableFileSystem::CopyFile(const std::string& source, const std::string& destination) {
    const auto into = folders_->At(destination);
    Row row(*host_, *worker_);
    for (const auto& match : Matches(*host_, source)) {
        if (match.folder) continue;
        row.Matched();
        row.File(match, *into);
    }
    row.Conclude("no file matches");
}

std::unique_ptr<TextStream> PortableFileSystem::CreateTextFile(const std::string& path) {
    auto [folder, name] = PlaceOf(*folders_, path);
    return std::make_unique<FileTextStream>(host_, std::move(folder), name);
}

}  // namespace quimbro
