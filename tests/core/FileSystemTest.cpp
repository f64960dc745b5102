// The portable file system on real folders, through Windows paths, with what Windows would add
// to them: reparse tags, files that a running program holds open, reads that break off, a
// volume's free space.
#include <gtest/gtest.h>

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
    using PosixFileHost::PosixFileHost;

    std::map<std::string, std::uint32_t> tags;  // by name: a reparse point with this tag
    std::set<std::string> unopenable, breakingOff;
    Space space{std::uint64_t{1} << 40, std::uint64_t{1} << 41};
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
    Space SpaceOf(const std::string&) const override { return space; }
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
};

class FileSystemTest : public ::testing::Test {
  protected:
    // A Windows path to a place in the temporary folder.
    std::string W(const std::string& relative) const {
        return temp.path().string() + "\\" + relative;
    }
    fs::path P(const std::string& relative) const { return temp.path() / relative; }

    TempFolder temp;
    std::shared_ptr<ScriptedHost> host = std::make_shared<ScriptedHost>(temp.path());
    PortableFileSystem files{host};
};

TEST_F(FileSystemTest, FoldersAreMadeOneLevelAtATimeAndFoundInAnyLetterCase) {
    files.CreateFolder(W("out"));
    files.CreateFolder(W("out\\\\b"));  // a doubled separator is one separator
    EXPECT_TRUE(fs::is_directory(P("out/b")));
    EXPECT_THROW(files.CreateFolder(W("out")), PlatformError) << "exists already";
    EXPECT_THROW(files.CreateFolder(W("missing\\child")), PlatformError) << "parent missing";
    WriteFile(P("file"), "x");
    EXPECT_THROW(files.CreateFolder(W("file")), PlatformError) << "a file of that name";
    // "\x" lies at the root of the current drive, which the host places in the test's folder.
    files.CreateFolder("\\QuimbroOutput");
    EXPECT_TRUE(files.FolderExists("\\QuimbroOutput"));
    EXPECT_TRUE(files.FolderExists(W("OUT\\B")));
    EXPECT_FALSE(files.FolderExists(W("file")));
    EXPECT_FALSE(files.FolderExists(W("none")));
}

TEST_F(FileSystemTest, CopiesTakeEveryMatchReplacingFilesAndKeepingOthers) {
    WriteFile(P("Vantorel/almanboard/logs/a.log"), "new");
    WriteFile(P("Vantorel/almanboard/logs/deep/b.log"), "b");
    WriteFile(P("Vantorel/almanboard/LogArchive/c.log"), "c");
    WriteFile(P("Vantorel/almanboard/log.txt"), "a file, not a folder");
    WriteFile(P("Vantorel/almanboard/BIN/Alman.INI"), "1");
    WriteFile(P("Vantorel/almanboard/BIN/other.ini"), "2");
    WriteFile(P("Vantorel/almanboard/BIN/alman.cfg"), "3");
    fs::create_directory(P("Vantorel/almanboard/BIN/folder.ini"));
    WriteFile(P("conf/server.xml"), "x");
    WriteFile(P("conf/README"), "r");
    WriteFile(P("out/logs/a.log"), "old");
    WriteFile(P("out/logs/z.log"), "other");
    WriteFile(P("out/bin/Alman.INI"), "old");
    fs::create_directory(P("out/conf"));
    const auto stamp = fs::file_time_type(std::chrono::hours(24 * 365 * 30));
    fs::last_write_time(P("conf/server.xml"), stamp);
    fs::permissions(P("conf/server.xml"), fs::perms::owner_read | fs::perms::group_read);

    files.CopyFolder(W("VANTOREL\\AlmanBoard\\log*"), W("OUT"));
    files.CopyFile(W("VANTOREL\\AlmanBoard\\bin\\*.ini"), W("out\\BIN\\"));
    files.CopyFile(W("conf\\*.*"), W("out\\conf\\"));  // names without a dot too

    EXPECT_EQ(TreeOf(P("out")),
              (Lines{"LogArchive/", "LogArchive/c.log", "bin/", "bin/Alman.INI", "bin/other.ini",
                     "conf/", "conf/README", "conf/server.xml", "logs/", "logs/a.log", "logs/deep/",
                     "logs/deep/b.log", "logs/z.log"}));
    EXPECT_EQ(ReadFile(P("out/logs/a.log")) + ReadFile(P("out/bin/Alman.INI")), "new1");
    // A copy keeps the time but not the read-only mark.
    EXPECT_EQ(fs::last_write_time(P("out/conf/server.xml")), stamp);
    EXPECT_NE(fs::status(P("out/conf/server.xml")).permissions() & fs::perms::owner_write,
              fs::perms::none);
}

TEST_F(FileSystemTest, LinksAreNeverFollowedCopyingOrDeleting) {
    WriteFile(P("secret/passwords.txt"), "s");
    WriteFile(P("prod/logs/a.log"), "a");
    WriteFile(P("prod/bin/a.ini"), "a");
    fs::create_directory_symlink(P("secret"), P("prod/logs/escape"));
    fs::create_directory_symlink(P("prod/logs"), P("prod/logs/loop"));
    fs::create_symlink(P("secret/passwords.txt"), P("prod/logs/p.log"));
    fs::create_symlink(P("secret/passwords.txt"), P("prod/bin/p.ini"));
    fs::create_directory_symlink(P("secret"), P("prod/logsLinked"));
    fs::create_directory(P("out"));
    files.CopyFolder(W("prod\\log*"), W("out"));
    files.CopyFile(W("prod\\bin\\*.ini"), W("out\\"));
    EXPECT_EQ(TreeOf(P("out")), (Lines{"a.ini", "logs/", "logs/a.log"}));
    files.DeleteFolder(W("prod"));
    EXPECT_FALSE(fs::exists(P("prod")));
    EXPECT_THROW(files.DeleteFolder(W("prod")), PlatformError);
    // A link in the folder's own place: only the link goes.
    fs::create_directory_symlink(P("secret"), P("QuimbroOutput"));
    EXPECT_TRUE(files.FolderExists(W("QuimbroOutput")));
    files.DeleteFolder(W("QuimbroOutput"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(P("QuimbroOutput"))));
    EXPECT_EQ(ReadFile(P("secret/passwords.txt")), "s");
}

TEST_F(FileSystemTest, OnlyNameSurrogatesAreLinks) {
    const auto cases = Table("core/reparse-tags.txt");
    for (const auto& c : cases) {
        WriteFile(P("src/logs/" + c[0] + "/inside.log"), "folder");
        WriteFile(P("src/logs/" + c[0] + ".log"), "file");
        host->tags[c[0]] = host->tags[c[0] + ".log"] = std::stoul(c[1], nullptr, 16);
    }
    fs::create_directory(P("out"));
    files.CopyFolder(W("src\\log*"), W("out"));
    files.DeleteFolder(W("src"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        const bool link = c[2] == "yes";
        EXPECT_EQ(fs::exists(P("out/logs/" + c[0] + "/inside.log")), !link) << "folder copied";
        EXPECT_EQ(fs::exists(P("out/logs/" + c[0] + ".log")), !link) << "file copied";
        EXPECT_EQ(host->listed.count(c[0]), link ? 0u : 2u) << "entered, copying and deleting";
    }
    EXPECT_FALSE(fs::exists(P("src")));
}

TEST_F(FileSystemTest, AFileThatCannotBeCopiedCostsOnlyItself) {
    for (const char* name : {"a.log", "held.log", "broken.log", "z.log"})
        WriteFile(P("conf/" + std::string(name)), "content");
    WriteFile(P("logs/held.log"), "x");
    WriteFile(P("logs/sub/b.log"), "b");
    WriteFile(P("out/conf/broken.log"), "last week's");
    fs::create_directory(P("out/logs"));
    host->unopenable = {"held.log"};
    host->breakingOff = {"broken.log"};
    EXPECT_THROW(files.CopyFile(W("conf\\*.*"), W("out\\conf\\")), PlatformError);
    EXPECT_THROW(files.CopyFolder(W("log*"), W("out\\logs")), PlatformError);
    // Nothing to copy, or nowhere to copy it: the copy fails too.
    EXPECT_THROW(files.CopyFile(W("conf\\*.cfg"), W("out\\")), PlatformError);
    EXPECT_THROW(files.CopyFile(W("none\\*.cfg"), W("out\\")), PlatformError);
    EXPECT_THROW(files.CopyFolder(W("conf\\log*"), W("out")), PlatformError);
    EXPECT_THROW(files.CopyFile(W("conf\\*.log"), W("missing\\")), PlatformError);
    // Every other match is copied whole; a broken-off copy leaves no half file behind.
    EXPECT_EQ(TreeOf(P("out")), (Lines{"conf/", "conf/a.log", "conf/z.log", "logs/", "logs/logs/",
                                       "logs/logs/sub/", "logs/logs/sub/b.log"}));
}

TEST_F(FileSystemTest, ACopyThatWouldFillTheVolumeIsSkipped) {
    WriteFile(P("logs/small.log"), "12345");
    WriteFile(P("logs/large.log"), "123456");
    fs::create_directory(P("out"));
    // A 1 TiB volume keeps 1 GiB free: five more bytes fit, six do not.
    host->space = {(std::uint64_t{1} << 30) + 5, std::uint64_t{1} << 40};
    EXPECT_THROW(files.CopyFile(W("logs\\*.log"), W("out\\")), PlatformError);
    EXPECT_EQ(TreeOf(P("out")), (Lines{"small.log"}));
    for (const auto& row : Table("core/reserve.txt"))
        EXPECT_EQ(LeavesReserve({std::stoull(row[0]), std::stoull(row[1])}, std::stoull(row[2])),
                  row[3] == "yes")
            << row[0] << " free of " << row[1] << " for " << row[2];
}

TEST_F(FileSystemTest, TextFileIsEightBitWithCrLfAndKeepsEveryWrittenLine) {
    WriteFile(P("report.log"), "old content that is longer");
    auto stream = files.CreateTextFile(W("report.log"));
    stream->WriteLine("first");
    stream->WriteLine("");
    // Written lines are on disk before the file is closed.
    EXPECT_EQ(ReadFile(P("report.log")), "first\r\n\r\n");
    stream->WriteLine("tab\tinside");
    stream->Close();
    EXPECT_EQ(ReadFile(P("report.log")), "first\r\n\r\ntab\tinside\r\n");
    EXPECT_THROW(stream->WriteLine("late"), PlatformError);
    EXPECT_THROW(stream->Close(), PlatformError);
    EXPECT_THROW(files.CreateTextFile(W("missing\\report.log")), PlatformError);
}

}  // namespace
}  // namespace quimbro::test
