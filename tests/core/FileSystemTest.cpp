// The portable file system on real folders, through Windows paths.
#include <gtest/gtest.h>

#include "core/TempFolder.h"
#include "platform/PlatformError.h"
#include "platform/PortableFileSystem.h"
#include "platform/PosixFileHost.h"

namespace fs = std::filesystem;

namespace quimbro::test {
namespace {

class FileSystemTest : public ::testing::Test {
  protected:
    // A Windows path to a place in the temporary folder.
    std::string W(const std::string& relative) const {
        auto path = temp.path().string() + "\\" + relative;
        return path;
    }
    fs::path P(const std::string& relative) const { return temp.path() / relative; }

    TempFolder temp;
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
    EXPECT_EQ(ReadFile(P("outside/keep.txt")), "keep");
    EXPECT_THROW(files.DeleteFolder(W("old")), PlatformError);
}

TEST_F(FileSystemTest, DeleteFolderOfALinkRemovesOnlyTheLink) {
    WriteFile(P("target/keep.txt"), "keep");
    fs::create_directory_symlink(P("target"), P("QuimbroOutput"));
    EXPECT_TRUE(files.FolderExists(W("QuimbroOutput")));
    files.DeleteFolder(W("QuimbroOutput"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(P("QuimbroOutput"))));
    EXPECT_EQ(ReadFile(P("target/keep.txt")), "keep");
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

}  // namespace
}  // namespace quimbro::test
