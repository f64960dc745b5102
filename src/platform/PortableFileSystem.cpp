#include "platform/PortableFileSystem.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <span>
#include <system_error>
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
// row fails when anything was left out, or nothing matched. A folder's files are copied two at
// a time, by the walk and on the worker: opening and closing files is the slow part of a small
// file's copy (under Wine a request to its file server), and one thread's bytes move while the
// other's file is being opened. The row ends when every copy has ended.
class Copier {
  public:
    Copier(const FileHost& host, Worker& worker)
        : host_(host), worker_(worker), buffer_(NewBuffer()) {}
    Copier(const Copier&) = delete;
    Copier& operator=(const Copier&) = delete;
    ~Copier() { Drain(); }

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
        for (auto& entry : host_.List(from)) {
            if (IsLink(entry)) continue;
            if (entry.folder)
                Try([&] { Tree(entry.path, host_.Child(to, entry.name)); });
            else
                Hand({std::move(entry), to});
        }
    }

    // The file as it stands at this moment, also while its program keeps writing it, into
    // the folder under its own name. A copy that breaks off is removed, so no half file lies
    // under the final name.
    void File(const FileHost::Entry& from, const std::string& into) {
        File(from, into, buffer_.get());
    }

    void Matched() { matched_ = true; }
    void Conclude(const char* nothingMatched) {
        Drain();
        if (!matched_) throw PlatformError(nothingMatched);
        if (incomplete_) throw PlatformError("some matches could not be copied");
    }

  private:
    struct Pending {
        FileHost::Entry from;
        std::string into;
    };

    // Large reads and writes keep a big log's copy at the disk's pace.
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;
    // A small file is read in one piece of this size at least, so that a log that grows while
    // it is copied is still taken in few reads.
    static constexpr std::size_t kLeastRead = std::size_t{64} << 10;
    // Enough for the worker never to wait on the walk, few enough to hold no memory to speak of.
    static constexpr std::size_t kQueued = 8;
    // The volume is asked again after this much, or when the count kept since says a file
    // would not fit; asking before every file would cost more than many a small copy.
    static constexpr std::uint64_t kRecount = std::uint64_t{256} << 20;

    // Left as it comes: a page costs memory only once a file as large reaches it, as each read
    // asks for no more than the file holds (under Wine a read touches all of the buffer it is
    // given).
    static std::unique_ptr<char[]> NewBuffer() {
        return std::make_unique_for_overwrite<char[]>(kBufferSize);
    }

    void File(const FileHost::Entry& from, const std::string& into, char* buffer) {
        const auto source = host_.OpenSource(from.path);
        const std::uint64_t expected = source->Size();
        const Room room(*this, into, expected);
        const std::string to = host_.Child(into, from.name);
        auto target = host_.CreateTarget(to, expected);
        try {
            std::uint64_t copied = 0;
            const auto piece = static_cast<std::size_t>(
                std::clamp<std::uint64_t>(expected, kLeastRead, kBufferSize));
            while (const std::size_t read = source->Read({buffer, piece})) {
                target->Write({buffer, read});
                copied += read;
            }
            target->Finish(source->LastWrite());
            // A log that grew while it was copied took more than was made room for.
            if (copied > expected) Spent(copied - expected);
        } catch (...) {
            target.reset();
            try {
                host_.Remove(to);
            } catch (const std::exception&) {
            }
            throw;
        }
    }

    void Copy(const Pending& pending, char* buffer) {
        Try([&] { File(pending.from, pending.into, buffer); });
    }

    // To the worker while it keeps up, else copied here.
    void Hand(Pending pending) {
        {
            std::lock_guard lock(mutex_);
            if (EnlistWorker() && queue_.size() < kQueued) {
                queue_.push_back(std::move(pending));
                ready_.notify_one();
                return;
            }
        }
        Copy(pending, buffer_.get());
    }

    // The worker takes handed-over copies from the row's first until the row is drained.
    bool EnlistWorker() {
        if (!handedOver_.valid() && !noWorker_) {
            try {
                handedOver_ = worker_.Post([this] { CopyHandedOver(); });
            } catch (const std::system_error&) {
                noWorker_ = true;
            }
        }
        return handedOver_.valid();
    }

    void CopyHandedOver() {
        const auto buffer = NewBuffer();
        while (auto pending = Next(true)) Copy(*pending, buffer.get());
    }

    // The next copy handed over; the worker waits for one until the row is drained.
    std::optional<Pending> Next(bool wait) {
        std::unique_lock lock(mutex_);
        if (wait) ready_.wait(lock, [&] { return draining_ || !queue_.empty(); });
        if (queue_.empty()) return std::nullopt;
        Pending next = std::move(queue_.front());
        queue_.pop_front();
        return next;
    }

    // Copies here what the worker has not taken yet, then waits for the worker's last copy.
    void Drain() {
        while (auto pending = Next(false)) Copy(*pending, buffer_.get());
        {
            std::lock_guard lock(mutex_);
            draining_ = true;
        }
        ready_.notify_all();
        if (handedOver_.valid()) handedOver_.wait();
    }

    // The system disk must keep room for the services the customer called about. Room is
    // taken before a copy, and the volume asked again still counts the copies under way, so
    // two copies at a time cannot both take the last of it.
    class Room {
      public:
        Room(Copier& copier, const std::string& folder, std::uint64_t size)
            : copier_(copier), size_(size) {
            copier_.MakeRoomFor(folder, size_);
        }
        ~Room() {
            const std::lock_guard lock(copier_.spaceMutex_);
            copier_.underWay_ -= size_;
        }
        Room(const Room&) = delete;
        Room& operator=(const Room&) = delete;

      private:
        Copier& copier_;
        const std::uint64_t size_;
    };

    void MakeRoomFor(const std::string& folder, std::uint64_t size) {
        const std::lock_guard lock(spaceMutex_);
        if (!space_ || sinceCounted_ >= kRecount || !LeavesReserve(*space_, size)) {
            space_ = host_.SpaceOf(folder);
            space_->free -= std::min(space_->free, underWay_);
            sinceCounted_ = 0;
        }
        if (!LeavesReserve(*space_, size)) throw PlatformError("the copy would fill the volume");
        Take(size);
        underWay_ += size;
    }
    void Spent(std::uint64_t size) {
        const std::lock_guard lock(spaceMutex_);
        Take(size);
    }
    void Take(std::uint64_t size) {
        space_->free -= std::min(space_->free, size);
        sinceCounted_ += size;
    }

    const FileHost& host_;
    Worker& worker_;
    std::unique_ptr<char[]> buffer_;
    std::mutex spaceMutex_;
    std::optional<FileHost::Space> space_;
    std::uint64_t sinceCounted_ = 0;
    // Room taken by the copies under way.
    std::uint64_t underWay_ = 0;
    bool matched_ = false;
    std::atomic<bool> incomplete_ = false;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Pending> queue_;
    bool draining_ = false;
    // Set when no worker thread could be had: the walk then copies everything itself.
    bool noWorker_ = false;
    // Ready when the worker has done its last handed-over copy.
    std::future<void> handedOver_;
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
    Copier copier(*host_, *worker_);
    for (const auto& match : Matches(*host_, source)) {
        if (!match.folder) continue;
        copier.Matched();
        copier.Try([&] { copier.Tree(match.path, host_->Child(into, match.name)); });
    }
    copier.Conclude("no folder matches");
}

void PortableFileSystem::CopyFile(const std::string& source, const std::string& destination) {
    const auto into = DestinationFolder(*host_, destination);
    Copier copier(*host_, *worker_);
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
