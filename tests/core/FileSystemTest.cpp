// The portable file system on real folders, through Windows paths.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/TempFolder.h"
#include "platform/PlatformError.h"
#include "platform/PortableFileSystem.h"
#include "platform/PosixFileHost.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

class InTempFolder : public ::testing::Test {
  protected:
    // A Windows path to a place in the temporary folder.
    std::string W(const std::string& relative) const {
        return temp.path().string() + "\\" + relative;
    }
    fs::path P(const std::string& relative) const { return temp.path() / relative; }

    TempFolder temp;
};

class FileSystemTest : public InTempFolder {
  protected:
    PortableFileSystem files{std::make_shared<PosixFileHost>(temp.path())};
};

TEST_F(FileSystemTest, CreateFolderMakesOneLevelOnly) {
    files.CreateFolder(W("out"));
    EXPECT_TRUE(fs::is_directory(P("out")));
    EXPECT_THROW(files.CreateFolder(W("out")), PlatformError) << "exists already";
    EXPECT_THROW(files.CreateFolder(W("missing\\child")), PlatformError) << "parent missing";
    WriteFile(P("file"), "x");
    EXPECT_THROW(files.CreateFolder(W("file")), PlatformError) << "a file of that name";
}

TEST_F(FileSystemTest, BackslashPathsAndDriveRootedPaths) {
    files.CreateFolder(W("a"));
    files.CreateFolder(W("a\\\\b"));  // a doubled separator is one separator
    EXPECT_TRUE(fs::is_directory(P("a/b")));
    // "\x" lies at the root of the current drive, which the host places in the test's folder.
    files.CreateFolder("\\QuimbroOutput");
    EXPECT_TRUE(fs::is_directory(P("QuimbroOutput")));
    EXPECT_TRUE(files.FolderExists("\\QuimbroOutput"));
}

TEST_F(FileSystemTest, FolderExistsOnlyForFolders) {
    WriteFile(P("f.txt"), "x");
    fs::create_directory(P("d"));
    EXPECT_TRUE(files.FolderExists(W("d")));
    EXPECT_TRUE(files.FolderExists(W("D")));
    EXPECT_FALSE(files.FolderExists(W("f.txt")));
    EXPECT_FALSE(files.FolderExists(W("none")));
}

TEST_F(FileSystemTest, DeleteFolderRemovesTheTreeButNeverFollowsLinks) {
    WriteFile(P("outside/keep.txt"), "keep");
    WriteFile(P("old/a/b/c.log"), "x");
    fs::create_directory_symlink(P("outside"), P("old/a/link"));
    files.DeleteFolder(W("old"));
    EXPECT_FALSE(fs::exists(P("old")));
    EXPECT_THROW(files.DeleteFolder(W("old")), PlatformError);
    // A link in the folder's own place: only the link goes.
    fs::create_directory_symlink(P("outside"), P("QuimbroOutput"));
    EXPECT_TRUE(files.FolderExists(W("QuimbroOutput")));
    files.DeleteFolder(W("QuimbroOutput"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(P("QuimbroOutput"))));
    EXPECT_EQ(ReadFile(P("outside/keep.txt")), "keep");
}

TEST_F(FileSystemTest, CopyFolderCopiesEveryMatchUnderItsOwnName) {
    WriteFile(P("AlmanBoard/logs/a.log"), "a");
    WriteFile(P("AlmanBoard/logs/deep/b.log"), "b");
    WriteFile(P("AlmanBoard/LogArchive/c.log"), "c");
    WriteFile(P("AlmanBoard/log.txt"), "a file, not a folder");
    WriteFile(P("AlmanBoard/bin/x.ini"), "x");
    fs::create_directory(P("out"));
    files.CopyFolder(W("AlmanBoard\\log*"), W("out"));
    EXPECT_EQ(TreeOf(P("out")),
              (std::vector<std::string>{"LogArchive/", "LogArchive/c.log", "logs/", "logs/a.log",
                                        "logs/deep/", "logs/deep/b.log"}));
}

TEST_F(FileSystemTest, CopyFolderNeverDescendsIntoLinks) {
    WriteFile(P("secret/passwords.txt"), "s");
    WriteFile(P("prod/logs/a.log"), "a");
    fs::create_directory_symlink(P("secret"), P("prod/logs/escape"));
    fs::create_directory_symlink(P("prod/logs"), P("prod/logs/loop"));
    fs::create_symlink(P("secret/passwords.txt"), P("prod/logs/p.log"));
    fs::create_directory_symlink(P("secret"), P("prod/logsLinked"));
    fs::create_directory(P("out"));
    files.CopyFolder(W("prod\\log*"), W("out"));
    EXPECT_EQ(TreeOf(P("out")), (std::vector<std::string>{"logs/", "logs/a.log"}));
}

TEST_F(FileSystemTest, CopyFolderReplacesFilesAndKeepsOthers) {
    WriteFile(P("src/logs/a.log"), "new");
    WriteFile(P("out/logs/a.log"), "old");
    WriteFile(P("out/logs/z.log"), "other");
    files.CopyFolder(W("src\\log*"), W("out"));
    EXPECT_EQ(ReadFile(P("out/logs/a.log")), "new");
    EXPECT_EQ(ReadFile(P("out/logs/z.log")), "other");
}

TEST_F(FileSystemTest, CopyFileCopiesEveryMatchingFileIntoTheFolder) {
    WriteFile(P("bin/alman.ini"), "1");
    WriteFile(P("bin/OTHER.INI"), "2");
    WriteFile(P("bin/alman.cfg"), "3");
    fs::create_directory(P("bin/folder.ini"));
    WriteFile(P("secret.txt"), "s");
    fs::create_symlink(P("secret.txt"), P("bin/linked.ini"));
    WriteFile(P("out/alman.ini"), "old");
    files.CopyFile(W("bin\\*.ini"), W("out\\"));
    EXPECT_EQ(TreeOf(P("out")), (std::vector<std::string>{"OTHER.INI", "alman.ini"}));
    EXPECT_EQ(ReadFile(P("out/alman.ini")), "1");
}

TEST_F(FileSystemTest, CopyFileTakesNamesWithoutADotForStarDotStar) {
    WriteFile(P("conf/server.xml"), "x");
    WriteFile(P("conf/README"), "r");
    fs::create_directory(P("out"));
    files.CopyFile(W("conf\\*.*"), W("out\\"));
    EXPECT_EQ(TreeOf(P("out")), (std::vector<std::string>{"README", "server.xml"}));
}

TEST_F(FileSystemTest, CopiesFailWhenNothingMatchesOrTheDestinationIsMissing) {
    WriteFile(P("bin/a.ini"), "1");
    fs::create_directory(P("out"));
    EXPECT_THROW(files.CopyFile(W("bin\\*.cfg"), W("out\\")), PlatformError);
    EXPECT_THROW(files.CopyFile(W("none\\*.cfg"), W("out\\")), PlatformError);
    EXPECT_THROW(files.CopyFolder(W("bin\\log*"), W("out")), PlatformError);
    EXPECT_THROW(files.CopyFile(W("bin\\*.ini"), W("missing\\")), PlatformError);
    EXPECT_TRUE(fs::is_empty(P("out")));
}

TEST_F(FileSystemTest, FoldersAreFoundInAnyLetterCase) {
    WriteFile(P("Vantorel/almanboard/BIN/Alman.INI"), "1");
    fs::create_directory(P("out"));
    files.CopyFile(W("VANTOREL\\AlmanBoard\\bin\\*.ini"), W("OUT\\"));
    EXPECT_EQ(TreeOf(P("out")), (std::vector<std::string>{"Alman.INI"}));
}

TEST_F(FileSystemTest, TextFileIsEightBitWithCrLfAndKeepsEveryWrittenLine) {
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
}

TEST_F(FileSystemTest, TextFileReplacesAnOldFileAndFailsInAMissingFolder) {
    WriteFile(P("report.log"), "old content that is longer");
    files.CreateTextFile(W("report.log"))->WriteLine("new");
    EXPECT_EQ(ReadFile(P("report.log")), "new\r\n");
    EXPECT_THROW(files.CreateTextFile(W("missing\\report.log")), PlatformError);
}

// Real folders, with what Windows would add to them: reparse tags, files that a running
// program holds open, reads that break off, a volume's free space.
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
        if (found) Tag(*found);
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

    void Tag(Entry& entry) const {
        if (const auto tag = tags.find(entry.name); tag != tags.end()) {
            entry.reparsePoint = true;
            entry.reparseTag = tag->second;
        }
    }
};

class ScriptedFileSystem : public InTempFolder {
  protected:
    std::shared_ptr<ScriptedHost> host = std::make_shared<ScriptedHost>(temp.path());
    PortableFileSystem files{host};
};

struct ReparseCase {
    const char* name;
    std::uint32_t tag;
    bool link;
};

// Only a point that stands for another place is a link; Wine's own links carry no tag.
constexpr ReparseCase kReparseCases[] = {
    {"symlink", 0xA000000C, true}, {"junction", 0xA0000003, true}, {"onedrive", 0x9000601A, false},
    {"dedup", 0x80000013, false},  {"wof", 0x80000017, false},     {"notag", 0, true},
};

TEST_F(ScriptedFileSystem, OnlyNameSurrogatesAreLinks) {
    for (const auto& c : kReparseCases) {
        WriteFile(P("src/logs/" + std::string(c.name) + "/inside.log"), "folder");
        WriteFile(P("src/logs/" + std::string(c.name) + ".log"), "file");
        host->tags[c.name] = host->tags[std::string(c.name) + ".log"] = c.tag;
    }
    fs::create_directory(P("out"));
    files.CopyFolder(W("src\\log*"), W("out"));
    files.DeleteFolder(W("src"));
    for (const auto& c : kReparseCases) {
        SCOPED_TRACE(c.name);
        const std::string name = c.name;
        EXPECT_EQ(fs::exists(P("out/logs/" + name + "/inside.log")), !c.link) << "folder copied";
        EXPECT_EQ(fs::exists(P("out/logs/" + name + ".log")), !c.link) << "file copied";
        EXPECT_EQ(host->listed.count(name), c.link ? 0u : 2u) << "entered, copying and deleting";
    }
    EXPECT_FALSE(fs::exists(P("src")));
}

TEST_F(ScriptedFileSystem, AFileThatCannotBeCopiedCostsOnlyItself) {
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
    // Every other match is copied whole; a broken-off copy leaves no half file behind.
    EXPECT_EQ(TreeOf(P("out")),
              (std::vector<std::string>{"conf/", "conf/a.log", "conf/z.log", "logs/", "logs/logs/",
                                        "logs/logs/sub/", "logs/logs/sub/b.log"}));
}

TEST_F(ScriptedFileSystem, ACopyThatWouldFillTheVolumeIsSkipped) {
    WriteFile(P("logs/small.log"), "12345");
    WriteFile(P("logs/large.log"), "123456");
    fs::create_directory(P("out"));
    // A 1 TiB volume keeps 1 GiB free: five more bytes fit, six do not.
    host->space = {(std::uint64_t{1} << 30) + 5, std::uint64_t{1} << 40};
    EXPECT_THROW(files.CopyFile(W("logs\\*.log"), W("out\\")), PlatformError);
    EXPECT_EQ(TreeOf(P("out")), (std::vector<std::string>{"small.log"}));
}

TEST(Reserve, IsAGibibyteOrFivePercentOfTheVolume) {
    constexpr std::uint64_t GiB = std::uint64_t{1} << 30;
    struct Case {
        FileHost::Space space;
        std::uint64_t size;
        bool fits;
    };
    const Case cases[] = {
        {{GiB + 100, 1000 * GiB}, 100, true},   {{GiB + 100, 1000 * GiB}, 101, false},
        {{GiB / 2 + 100, 10 * GiB}, 100, true}, {{GiB / 2 + 100, 10 * GiB}, 101, false},
        {{GiB / 4, 10 * GiB}, 0, false},        {{5 * GiB, 10 * GiB}, 4 * GiB, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeavesReserve(c.space, c.size), c.fits)
            << c.space.free << " free of " << c.space.total << " for " << c.size;
}

TEST_F(FileSystemTest, ACopyKeepsTheTimeButNotTheReadOnlyMark) {
    WriteFile(P("conf/server.xml"), "x");
    const auto stamp = fs::file_time_type(std::chrono::hours(24 * 365 * 30));
    fs::last_write_time(P("conf/server.xml"), stamp);
    fs::permissions(P("conf/server.xml"), fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(P("out"));
    files.CopyFile(W("conf\\*.xml"), W("out\\"));
    EXPECT_EQ(fs::last_write_time(P("out/server.xml")), stamp);
    EXPECT_NE(fs::status(P("out/server.xml")).permissions() & fs::perms::owner_write,
              fs::perms::none);
}

}  // namespace
}  // namespace quimbro::test
