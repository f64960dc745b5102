// The portable file system on real folders, through Windows paths, with what Windows would add
// to them: reparse tags, files that a running program holds open, reads that break off or keep
// growing, a volume's free space, deleted folders still held.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "core/Fixtures.h"
#include "platform/PlatformError.h"
#include "platform/PortableFileSystem.h"
#include "platform/PosixFileHost.h"
#include "platform/VolumeRoom.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

class ScriptedHost final : public PosixFileHost {
  public:
    explicit ScriptedHost(fs::path root) : PosixFileHost(root), root_(std::move(root)) {}

    std::map<std::string, std::uint32_t> tags;  // by name: a reparse point with this tag
    std::set<std::string> unopenable, endless, stalled;
    std::map<std::string, std::uint64_t> sized, slow;  // the size at opening; ms to remove
    // By name: the folder whose entries are kept when the read breaks off (none: nothing kept).
    std::map<std::string, fs::path> breakingOff;
    mutable Lines atBreak;
    // By name: how many more times making or removing a folder is refused, as for one deleted
    // while another program holds it or a folder inside it (held), or for another reason.
    mutable std::map<std::string, int> held, refused;
    Space space{std::uint64_t{1} << 40, std::uint64_t{1} << 40, std::uint64_t{1} << 41};
    // The bytes on the volume when `space` was set: what is written since is no longer free.
    std::uint64_t spaceSetAt = 0;
    mutable std::multiset<std::string> listed;
    // A stalled copy holds at its first read until the volume is asked again; that, and other
    // files' opening, wait for such a copy to hold: the recount comes while it is under way.
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    mutable int asked = 0, stalls = 0;
    void AwaitStall() const {
        std::unique_lock lock(mutex);
        if (!stalled.empty())
            changed.wait_for(lock, std::chrono::seconds(2), [&] { return stalls > 0; });
    }

    // The listing's entries come through Find, which tags them.
    std::vector<Entry> List(const std::string& folder) const override {
        listed.insert(Name(folder));
        auto entries = PosixFileHost::List(folder);
        std::ranges::sort(entries, {}, &Entry::name);
        return entries;
    }
    std::vector<Entry> Entries(const Folder& folder) const override {
        listed.insert(Name(folder.Path()));
        return PosixFileHost::Entries(folder);
    }
    std::optional<Entry> Find(const std::string& path) const override {
        auto found = PosixFileHost::Find(path);
        if (const auto tag = tags.find(Name(path)); found && tag != tags.end()) {
            found->reparsePoint = true;
            found->reparseTag = tag->second;
        }
        return found;
    }
    std::unique_ptr<Source> OpenSource(const std::string& path) const override {
        if (unopenable.count(Name(path))) throw PlatformError("held without sharing");
        if (!stalled.count(Name(path))) AwaitStall();
        return std::make_unique<ScriptedSource>(PosixFileHost::OpenSource(path), *this, Name(path));
    }
    FolderRef MakeFolder(const Folder& parent, const std::string& name) const override {
        Refuse(name);
        return PosixFileHost::MakeFolder(parent, name);
    }
    Space SpaceOf(const std::string&) const override {
        if (asked > 0) AwaitStall();
        Space now = space;
        const std::uint64_t bytes = Bytes() - std::min(Bytes(), spaceSetAt);
        for (auto* free : {&now.free, &now.volumeFree}) *free -= std::min(*free, bytes);
        const std::lock_guard lock(mutex);
        ++asked;
        changed.notify_all();
        return now;
    }
    // Every file's bytes, also while copies come and go.
    std::uint64_t Bytes() const {
        std::uint64_t bytes = 0;
        std::error_code error;
        for (fs::recursive_directory_iterator it(root_, error), end; !error && it != end;
             it.increment(error))
            if (it->is_regular_file(error)) bytes += it->file_size(error);
        return bytes;
    }
    // Removing a tagged folder stands for removing the link itself.
    void RemoveIn(const Folder& folder, const std::string& name) const override {
        Refuse(name);
        Slow(name);
        if (tags.count(name))
            fs::remove_all(Child(folder.Path(), name));
        else
            PosixFileHost::RemoveIn(folder, name);
    }
    void RemoveFolder(const Folder& folder) const override {
        Refuse(folder.Path());
        Slow(folder.Path());
        PosixFileHost::RemoveFolder(folder);
    }

  private:
    void Slow(const std::string& path) const {
        if (slow.count(Name(path)))
            std::this_thread::sleep_for(std::chrono::milliseconds(slow.at(Name(path))));
    }
    void Refuse(const std::string& path) const {
        for (auto [times, why] : {std::pair{&held, PlatformError::Reason::Held},
                                  {&refused, PlatformError::Reason::Other}})
            if (const auto n = times->find(Name(path)); n != times->end() && n->second-- > 0)
                throw PlatformError("refused", why);
    }

    // A breaking file gives its first piece, then fails as a disk that has gone away; what
    // its copy left then is what a kill at that moment would leave. An endless one grows with
    // every read.
    class ScriptedSource final : public Source {
      public:
        ScriptedSource(std::unique_ptr<Source> source, const ScriptedHost& host, std::string name)
            : source_(std::move(source)), host_(host), name_(std::move(name)) {}
        std::uint64_t Size() const override {
            return host_.sized.count(name_) ? host_.sized.at(name_) : source_->Size();
        }
        Stamp LastWrite() const override { return source_->LastWrite(); }
        std::size_t Read(std::span<char> buffer) override {
            const auto breaking = host_.breakingOff.find(name_);
            if (breaking != host_.breakingOff.end() && pieces_++ > 0) {
                if (!breaking->second.empty()) host_.atBreak = TreeOf(breaking->second);
                throw PlatformError("the read broke off");
            }
            if (breaking != host_.breakingOff.end()) buffer = buffer.first(1);
            if (host_.stalled.count(name_) && !stalled_) {
                std::unique_lock lock(host_.mutex);
                stalled_ = ++host_.stalls;
                host_.changed.notify_all();
                host_.changed.wait_for(lock, std::chrono::seconds(2),
                                       [&] { return host_.asked > 1; });
            }
            const std::size_t read = source_->Read(buffer);
            if (!host_.endless.count(name_)) return read;
            // A copy that follows the growth never ends: it fails after a few pieces.
            if (++grown_ > 4) throw PlatformError("copied past the size at opening");
            std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(read), buffer.end(), '+');
            return buffer.size();
        }

      private:
        std::unique_ptr<Source> source_;
        const ScriptedHost& host_;
        const std::string name_;
        int pieces_ = 0, grown_ = 0, stalled_ = 0;
    };

    static std::string Name(const std::string& path) { return fs::path(path).filename().string(); }

    const fs::path root_;
};

// "\r", "\n" and "\t" in a text of the cases.
std::string Unescaped(std::string text) {
    for (const auto& [escape, c] : {std::pair{"\\r", '\r'}, {"\\n", '\n'}, {"\\t", '\t'}})
        for (std::size_t at; (at = text.find(escape)) != std::string::npos;)
            text.replace(at, 2, 1, c);
    return text;
}

TEST(FileSystem, EachCaseOfTheTable) {
    const auto rows = Table("core/file-system.txt");
    const auto oldTime = fs::file_time_type(std::chrono::hours(24 * 365 * 30));
    for (auto row = rows.begin(); row != rows.end();) {
        SCOPED_TRACE(row->at(1));
        TempFolder temp;
        const auto host = std::make_shared<ScriptedHost>(temp.path());
        PortableFileSystem files{host, std::make_shared<Worker>(), std::chrono::milliseconds(300)};
        std::unique_ptr<TextStream> stream;
        for (++row; row != rows.end() && row->at(0) != "case"; ++row) {
            const auto& f = *row;
            const auto P = [&](std::size_t i) { return temp.path() / f[i]; };
            const auto W = [&](std::size_t i) {
                return f[i].starts_with('\\') ? f[i] : temp.path().string() + "\\" + f[i];
            };
            const std::map<std::string, std::function<void()>> steps = {
                {"file", [&] { WriteFile(P(1), f[2]); }},
                {"folder", [&] { fs::create_directories(P(1)); }},
                {"link", [&] { fs::create_symlink(P(2), P(1)); }},
                {"old",
                 [&] {
                     fs::last_write_time(P(1), oldTime);
                     fs::permissions(P(1), fs::perms::owner_read | fs::perms::group_read);
                 }},
                {"tag", [&] { host->tags[f[1]] = std::stoul(f[2], nullptr, 16); }},
                {"held", [&] { host->held[f[1]] = std::stoi(f[2]); }},
                {"refused", [&] { host->refused[f[1]] = std::stoi(f[2]); }},
                {"slow", [&] { host->slow[f[1]] = std::stoull(f[2]); }},
                {"sized", [&] { host->sized[f[1]] = std::stoull(f[2]); }},
                {"stalled", [&] { host->stalled.insert(f[1]); }},
                {"unopenable", [&] { host->unopenable.insert(f[1]); }},
                {"breaking", [&] { host->breakingOff[f[1]] = f.size() > 2 ? P(2) : fs::path(); }},
                {"endless", [&] { host->endless.insert(f[1]); }},
                {"space",
                 [&] {
                     host->space = {std::stoull(f[1]), std::stoull(f[2]), std::stoull(f[3])};
                     host->spaceSetAt = host->Bytes();
                 }},
                {"reserve",
                 [&] { EXPECT_EQ(LeavesReserve(host->space, std::stoull(f[1])), f[2] == "yes"); }},
                {"create", [&] { files.CreateFolder(W(1)); }},
                {"delete", [&] { files.DeleteFolder(W(1)); }},
                {"copy-folder", [&] { files.CopyFolder(W(1), W(2)); }},
                {"copy-file", [&] { files.CopyFile(W(1), W(2)); }},
                {"exists", [&] { EXPECT_EQ(files.FolderExists(W(1)), f[2] == "yes"); }},
                {"open", [&] { stream = files.CreateTextFile(W(1)); }},
                {"line", [&] { stream->WriteLine(Unescaped(f[1])); }},
                {"close", [&] { stream->Close(); }},
                {"tree", [&] { EXPECT_EQ(TreeOf(P(1)), Lines(f.begin() + 2, f.end())); }},
                {"text", [&] { EXPECT_EQ(ReadFile(P(1)), Unescaped(f[2])); }},
                {"files",
                 [&] {
                     const auto isFile = [](const auto& e) { return !e.ends_with('/'); };
                     EXPECT_EQ(std::ranges::count_if(TreeOf(P(1)), isFile), std::stol(f[2]));
                 }},
                {"at-break", [&] { EXPECT_EQ(host->atBreak, Lines(f.begin() + 1, f.end())); }},
                {"gone", [&] { EXPECT_FALSE(fs::exists(fs::symlink_status(P(1)))); }},
                {"entered", [&] { EXPECT_EQ(host->listed.count(f[1]), std::stoul(f[2])); }},
                {"old-copy",
                 [&] {
                     EXPECT_EQ(fs::last_write_time(P(1)), oldTime);
                     EXPECT_NE(fs::status(P(1)).permissions() & fs::perms::owner_write,
                               fs::perms::none);
                 }},
            };
            SCOPED_TRACE(f.size() > 1 ? f[0] + " " + f[1] : f[0]);
            ASSERT_TRUE(steps.count(f[0])) << "no step " << f[0];
            if (f.back() == "fails")
                EXPECT_THROW(steps.at(f[0])(), PlatformError);
            else
                EXPECT_NO_THROW(steps.at(f[0])());
        }
    }
}

}  // namespace
}  // namespace quimbro::test
