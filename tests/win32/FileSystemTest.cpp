#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/PortableFileSystem.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsAutomation.h"
#include "platform/win32/WindowsFileHost.h"

namespace quimbro::win32::test {
namespace {

// Paths beyond MAX_PATH, which only the host's long form reaches.
TEST(LongPaths, AWholeDeepTreeIsCopiedAndDeleted) {
    TempFolder folder;
    const std::string base = folder.Path();
    const auto files = WindowsFiles();
    std::string deep = base + "\\src";
    files->CreateFolder(deep);
    for (char letter = 'a'; deep.size() <= MAX_PATH; ++letter) {
        deep += "\\" + std::string(40, letter);
        files->CreateFolder(deep);
    }
    files->CreateFolder(deep + "\\logs");
    files->CreateTextFile(deep + "\\logs\\a.log")->WriteLine("a");
    files->CreateFolder(base + "\\dest");
    files->CopyFolder(base + "\\sr?", base + "\\dest");
    EXPECT_EQ(ReadWholeFile(base + "\\dest" + deep.substr(base.size()) + "\\logs\\a.log"), "a\r\n");
    // The host's own failures there: a folder that exists, a destination or source missing.
    EXPECT_THROW(files->CreateFolder(deep), PlatformError);
    EXPECT_THROW(files->CopyFile(deep + "\\logs\\*", base + "\\missing\\"), PlatformError);
    EXPECT_THROW(files->CopyFolder(base + "\\missing\\*", base + "\\dest"), PlatformError);
    files->DeleteFolder(base + "\\src");
    files->DeleteFolder(base + "\\dest");
    EXPECT_FALSE(Exists(base + "\\src") || Exists(base + "\\dest"));
}

// The long form of every kind of path.
TEST(LongPaths, AreAbsoluteAndPrefixed) {
    const std::wstring current = LongPath(L".");
    ASSERT_EQ(current.rfind(L"\\\\?\\", 0), 0u);
    EXPECT_EQ(LongPath(L"C:\\a\\\\b\\..\\c"), L"\\\\?\\C:\\a\\c");
    EXPECT_EQ(LongPath(L"\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
    EXPECT_EQ(LongPath(L"\\\\?\\C:\\already"), L"\\\\?\\C:\\already");
    // A leading backslash is the root of the current drive.
    EXPECT_EQ(LongPath(L"\\QuimbroOutput"), current.substr(0, 6) + L"\\QuimbroOutput");
    EXPECT_THROW(LongPath(L""), PlatformError);
}

// Files held open as a running service holds its log: Windows' own CopyFileW refuses one that
// is being written, the copy shares it; one held whole is skipped. A copy of a read-only file
// keeps its time but not the mark, so it never blocks the next run; the customer's file keeps it.
// A name of 250 characters, too long with the temporary's suffix, is copied whole all the same.
// Others read the report log during a run as most programs open a file (share modes hold across
// processes as across handles): sharing read and write, not deletion.
TEST(HeldAndReadOnlyFiles, AreCopiedAsTheyStandAndTheCopiesAreWritable) {
    TempFolder base;
    const auto files = WindowsFiles();
    const std::string conf = base.Path() + "\\conf\\", out = base.Path() + "\\out\\";
    files->CreateFolder(base.Path() + "\\conf");
    const std::string longName = std::string(246, 'x') + ".log";
    for (const std::string name : {"catalina.out", "locked.log", "server.xml", longName.c_str()})
        files->CreateTextFile(conf + name)->WriteLine(name);
    const auto open = [&](const char* name, DWORD access, DWORD share) {
        return KernelHandle(ValidOrNull(::CreateFileW(Wide(conf + name).c_str(), access, share,
                                                      nullptr, OPEN_EXISTING, 0, nullptr)));
    };
    const auto report = files->CreateTextFile(conf + "Quimbro.log");
    EXPECT_TRUE(open("Quimbro.log", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
    const FILETIME stamp{0x12345678, 0x01D00000};
    ASSERT_TRUE(::SetFileTime(open("server.xml", FILE_WRITE_ATTRIBUTES, 0).Get(), nullptr, nullptr,
                              &stamp));
    ASSERT_TRUE(::SetFileAttributesW(Wide(conf + "server.xml").c_str(), FILE_ATTRIBUTE_READONLY));
    files->CreateFolder(base.Path() + "\\out");
    {
        const auto writing =
            open("catalina.out", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        const auto locked = open("locked.log", GENERIC_WRITE, 0);
        ASSERT_TRUE(writing && locked);
        for (int run = 0; run < 2; ++run)  // the next run copies over the first one's copies
            EXPECT_THROW(files->CopyFile(conf + "*.*", out), PlatformError);
    }
    EXPECT_EQ(ReadWholeFile(out + "catalina.out"), "catalina.out\r\n");
    EXPECT_EQ(ReadWholeFile(out + longName), longName + "\r\n");
    EXPECT_FALSE(Exists(out + "locked.log"));
    WIN32_FILE_ATTRIBUTE_DATA copy{};
    ASSERT_TRUE(
        ::GetFileAttributesExW(Wide(out + "server.xml").c_str(), GetFileExInfoStandard, &copy));
    EXPECT_FALSE(copy.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(::CompareFileTime(&copy.ftLastWriteTime, &stamp), 0);
    files->DeleteFolder(base.Path() + "\\out");
    EXPECT_FALSE(Exists(out));

    EXPECT_THROW(files->DeleteFolder(base.Path() + "\\conf"), PlatformError);
    EXPECT_TRUE(Exists(conf + "server.xml"));
    ::SetFileAttributesW(Wide(conf + "server.xml").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Real links, which Wine shows with no reparse tag, made by the test script: tree\file.txt,
// tree\link to target, tree\keep.txt to target\keep.txt. Deleting a link that cannot be removed
// as a link fails.
TEST(Links, AreSkippedByCopiesAndNeverFollowedByDeletion) {
    const char* fixture = std::getenv("QUIMBRO_LINK_FIXTURE");
    if (!fixture) GTEST_SKIP() << "no link fixture";
    const std::string links = WinePath(fixture);
    TempFolder into;
    WindowsFiles()->CopyFolder(links + "\\tre*", into.Path());
    EXPECT_TRUE(Exists(into.Path() + "\\tree\\file.txt"));
    EXPECT_FALSE(Exists(into.Path() + "\\tree\\link"));
    try {
        WindowsFiles()->DeleteFolder(links + "\\tree");
    } catch (const PlatformError&) {
    }
    EXPECT_TRUE(Exists(links + "\\target\\keep.txt"));
    EXPECT_FALSE(Exists(links + "\\tree\\file.txt"));
}

// The script also makes swap\a\conf, a folder, and swap\b\conf, a link to target. Once a folder
// of the tree is open, its path is made to lead to the link: the report log and a capture go
// into the folder that was opened, a copy too (Wine cannot rename in a folder moved since it was
// opened: there the copy fails instead); nothing lands in the target.
TEST(Links, AFolderSwappedForALinkOnceOpenIsNeverFollowed) {
    const char* fixture = std::getenv("QUIMBRO_LINK_FIXTURE");
    if (!fixture) GTEST_SKIP() << "no link fixture";
    const std::string links = WinePath(fixture), swap = links + "\\swap";
    const std::string conf = swap + "\\a\\conf", opened = swap + "\\opened\\conf\\";
    TempFolder from;
    const std::string source = from.Path() + "\\file.txt";
    WindowsFiles()->CreateTextFile(source)->Close();
    WindowsAutomation automation;
    const auto files = automation.CreateFileSystem();
    const auto shell = automation.CreateShell();
    files->CopyFile(source, conf);
    ASSERT_TRUE(::DeleteFileW(Wide(conf + "\\file.txt").c_str()));
    for (const auto& [was, now] : {std::pair{"\\a", "\\opened"}, {"\\b", "\\a"}})
        ASSERT_TRUE(::MoveFileW(Wide(swap + was).c_str(), Wide(swap + now).c_str()));

    files->CreateTextFile(conf + "\\report.log")->Close();
    shell->Start("cmd.exe /D /C \"echo x\"", conf + "\\capture.log")->Wait();
    try {
        files->CopyFile(source, conf);
    } catch (const PlatformError&) {
    }
    EXPECT_TRUE(Exists(opened + "report.log"));
    EXPECT_EQ(ReadWholeFile(opened + "capture.log"), "x\r\n");
    for (const auto* name : {"file.txt", "report.log", "capture.log", "file.txt.quimbro-part"})
        EXPECT_FALSE(Exists(links + "\\target\\" + name)) << name;
}

// The script also makes del\a\sub holding f1.txt and f2.txt, and del\b\sub, a link to target,
// which holds files of those names. Once the deletion of del\a has listed sub, the path
// del\a\sub is made to lead to the link: nothing in the target is deleted.
class SwappingHost final : public WindowsFileHost {
  public:
    explicit SwappingHost(std::string del) : del_(std::move(del)) {}
    void RemoveIn(const Folder& folder, const std::string& name) const override {
        for (const auto& [was, now] : {std::pair{"\\a", "\\listed"}, {"\\b", "\\a"}})
            if (!swapped_) ::MoveFileW(Wide(del_ + was).c_str(), Wide(del_ + now).c_str());
        swapped_ = true;
        WindowsFileHost::RemoveIn(folder, name);
    }

  private:
    std::string del_;
    mutable bool swapped_ = false;
};

TEST(Links, AFolderSwappedForALinkAfterItsListingLeadsTheDeletionNowhere) {
    const char* fixture = std::getenv("QUIMBRO_LINK_FIXTURE");
    if (!fixture) GTEST_SKIP() << "no link fixture";
    const std::string links = WinePath(fixture), del = links + "\\del";
    PortableFileSystem files(std::make_shared<SwappingHost>(del));
    try {
        files.DeleteFolder(del + "\\a");
    } catch (const PlatformError&) {
    }
    EXPECT_TRUE(Exists(del + "\\a\\sub"));
    for (const auto* name : {"f1.txt", "f2.txt", "keep.txt"})
        EXPECT_EQ(ReadWholeFile(links + "\\target\\" + name), "keep\n") << name;
}

// A name planted in a folder of the tree before Quimbro writes it, as a hard link to another
// file, is replaced, never written through: the report, a copy's temporary and a capture.
TEST(Links, APlantedHardLinkIsReplacedNotWrittenThrough) {
    TempFolder tree, outside;
    const std::string kept = outside.Path() + "\\kept.txt";
    WindowsFiles()->CreateTextFile(kept)->WriteLine("kept");
    const std::string source = outside.Path() + "\\file.txt";
    WindowsFiles()->CreateTextFile(source)->Close();
    for (const auto* name : {"report.log", "file.txt.quimbro-part", "capture.log"})
        ASSERT_TRUE(::CreateHardLinkW(Wide(tree.Path() + "\\" + name).c_str(), Wide(kept).c_str(),
                                      nullptr));
    WindowsAutomation automation;
    automation.CreateFileSystem()->CreateTextFile(tree.Path() + "\\report.log")->Close();
    automation.CreateFileSystem()->CopyFile(source, tree.Path());
    automation.CreateShell()
        ->Start("cmd.exe /D /C \"echo x\"", tree.Path() + "\\capture.log")
        ->Wait();
    EXPECT_EQ(ReadWholeFile(kept), "kept\r\n");
    EXPECT_EQ(ReadWholeFile(tree.Path() + "\\capture.log"), "x\r\n");
    EXPECT_TRUE(Exists(tree.Path() + "\\file.txt"));
}

// Each line in the code page with CR LF; what it lacks is "?", never a look-alike (l-stroke: l).
TEST(AnsiReport, LinesInTheCodePageEndingInCrLf) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the system's code page is not 1252";
    TempFolder folder;
    auto log = WindowsFiles()->CreateTextFile(folder.Path() + "\\Quimbro_1252026_34934.log");
    auto lines = Split(ReadWholeFile(WinePath("win32/report-utf8.txt")), "\n");
    lines.pop_back();
    for (const auto& line : lines) log->WriteLine(line);
    log->Close();
    EXPECT_EQ(ReadWholeFile(folder.Path() + "\\Quimbro_1252026_34934.log"),
              ReadWholeFile(WinePath("win32/report-1252.log")));
}

}  // namespace
}  // namespace quimbro::win32::test
