// The portable file system on real folders, through Windows paths, with what Windows would add
// to them: reparse tags, files that a running program holds open, reads that break off, a
// volume's free space.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "core/Fixtures.h"
#include "platform/PlatformError.h"
#include "platform/PortableFileSystem.h"
#include "platform/PosixFileHost.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

class ScriptedHost final : public PosixFileHost {
  public:
    explicit ScriptedHost(fs::path root) : PosixFileHost(root), root_(std::move(root)) {}

    std::map<std::string, std::uint32_t> tags;  // by name: a reparse point with this tag
    std::set<std::string> unopenable, breakingOff;
    Space space{std::uint64_t{1} << 40, std::uint64_t{1} << 41};
    // The bytes on the volume when `space` was set: what is written since is no longer free.
    std::uint64_t spaceSetAt = 0;
    mutable std::multiset<std::string> listed;

    // The listing's entries come through Find, which tags them.
    std::vector<Entry> List(const std::string& folder) const override {
        listed.insert(Name(folder));
        return PosixFileHost::List(folder);
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
        auto source = PosixFileHost::OpenSource(path);
        if (!breakingOff.count(Name(path))) return source;
        return std::make_unique<BreakingSource>(std::move(source));
    }
    Space SpaceOf(const std::string&) const override {
        Space now = space;
        const std::uint64_t bytes = Bytes();
        now.free -= std::min(now.free, bytes - std::min(bytes, spaceSetAt));
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
    void Remove(const std::string& path) const override {
        if (tags.count(Name(path)))
            fs::remove_all(path);
        else
            PosixFileHost::Remove(path);
    }

  private:
    // Gives its first piece, then fails as a disk that has gone away.
    class BreakingSource final : public Source {
      public:
        explicit BreakingSource(std::unique_ptr<Source> source) : source_(std::move(source)) {}
        std::uint64_t Size() const override { return source_->Size(); }
        Stamp LastWrite() const override { return source_->LastWrite(); }
        std::size_t Read(std::span<char> buffer) override {
            if (pieces_++ > 0) throw PlatformError("the read broke off");
            return source_->Read(buffer.first(1));
        }

      private:
        std::unique_ptr<Source> source_;
        int pieces_ = 0;
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
        PortableFileSystem files{host};
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
                {"unopenable", [&] { host->unopenable.insert(f[1]); }},
                {"breaking", [&] { host->breakingOff.insert(f[1]); }},
                {"space",
                 [&] {
                     host->space = {std::stoull(f[1]), std::stoull(f[2])};
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
                     const auto tree = TreeOf(P(1));
                     EXPECT_EQ(std::count_if(tree.begin(), tree.end(),
                                             [](const auto& e) { return !e.ends_with('/'); }),
                               std::stol(f[2]));
                 }},
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
