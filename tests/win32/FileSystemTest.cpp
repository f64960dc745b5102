#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"
#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsFileHost.h"

namespace quimbro::win32::test {
namespace {

constexpr std::size_t kBeyondMaxPath = 300;

void WriteFile(FileSystemObject& files, const std::string& path, const std::string& line) {
    auto stream = files.CreateTextFile(path);
    stream->WriteLine(line);
    stream->Close();
}

// Paths beyond MAX_PATH, which only the Windows host's long form reaches.
class LongPaths : public testing::Test {
  protected:
    // base\src\<long>\<long>...: deeper than MAX_PATH, holding app.log and logs\a.log.
    void SetUp() override {
        files_->CreateFolder(base_.Path() + "\\src");
        deep_ = base_.Path() + "\\src";
        for (char letter = 'a'; deep_.size() < kBeyondMaxPath; ++letter) {
            deep_ += "\\" + std::string(40, letter);
            files_->CreateFolder(deep_);
        }
        WriteFile(*files_, deep_ + "\\app.log", "log");
        files_->CreateFolder(deep_ + "\\logs");
        WriteFile(*files_, deep_ + "\\logs\\a.log", "a");
        files_->CreateFolder(base_.Path() + "\\dest");
    }

    TempFolder base_;
    std::unique_ptr<FileSystemObject> files_ = WindowsFiles();
    std::string deep_;
};

TEST_F(LongPaths, AWholeDeepTreeIsCopiedAndDeleted) {
    EXPECT_GT(deep_.size(), std::size_t{MAX_PATH});
    EXPECT_TRUE(files_->FolderExists(deep_));
    EXPECT_EQ(ReadWholeFile(deep_ + "\\app.log"), "log\r\n");
    files_->CopyFolder(base_.Path() + "\\sr?", base_.Path() + "\\dest");
    const std::string copied = base_.Path() + "\\dest" + deep_.substr(base_.Path().size());
    EXPECT_EQ(ReadWholeFile(copied + "\\logs\\a.log"), "a\r\n");

    files_->DeleteFolder(base_.Path() + "\\src");
    EXPECT_FALSE(files_->FolderExists(base_.Path() + "\\src"));
    files_->DeleteFolder(base_.Path() + "\\dest");
    EXPECT_FALSE(Exists(base_.Path() + "\\dest"));
}

// What matches nothing is the portable file system's; these are the host's own failures.
TEST_F(LongPaths, MissingOrExistingFoldersFail) {
    EXPECT_THROW(files_->CopyFile(deep_ + "\\*.log", base_.Path() + "\\missing\\"), PlatformError);
    EXPECT_THROW(files_->CopyFolder(base_.Path() + "\\missing\\*", base_.Path() + "\\dest"),
                 PlatformError);
    EXPECT_THROW(files_->CreateFolder(deep_), PlatformError);
}

TEST(LongPathForm, AbsoluteAndPrefixed) {
    const std::wstring current = LongPath(L".");
    ASSERT_EQ(current.rfind(L"\\\\?\\", 0), 0u);
    EXPECT_EQ(LongPath(L"C:\\a\\\\b\\..\\c"), L"\\\\?\\C:\\a\\c");
    EXPECT_EQ(LongPath(L"\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
    EXPECT_EQ(LongPath(L"\\\\?\\C:\\already"), L"\\\\?\\C:\\already");
    // A leading backslash is the root of the current drive.
    EXPECT_EQ(LongPath(L"\\QuimbroOutput"), current.substr(0, 6) + L"\\QuimbroOutput");
    EXPECT_THROW(LongPath(L""), PlatformError);
}

// A process of its own holding a file open for writing, as Tomcat holds catalina.out.
class Holder {
  public:
    Holder(const std::string& path, DWORD share) {
        std::wstring line =
            L"\"" + OwnProgram() + L"\" --hold \"" + Wide(path) + L"\" " + std::to_wstring(share);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info))
            throw PlatformError("the holder cannot be started");
        process_ = KernelHandle(info.hProcess);
        KernelHandle thread(info.hThread);
        for (int waited = 0; !Exists(path + ".held") && waited < 200; ++waited) ::Sleep(50);
        if (!Exists(path + ".held")) throw PlatformError("the holder did not open the file");
    }
    ~Holder() {
        ::TerminateProcess(process_.Get(), 0);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

  private:
    KernelHandle process_;
};

// Windows' own CopyFileW refuses a file that another program writes; the copy shares it.
TEST(OpenFiles, AreCopiedWhileWrittenAndSkippedAloneWhenHeldWhole) {
    TempFolder base;
    const auto files = WindowsFiles();
    files->CreateFolder(base.Path() + "\\conf");
    files->CreateFolder(base.Path() + "\\out");
    for (const char* name : {"a.xml", "catalina.out", "locked.log", "z.xml"})
        WriteFile(*files, base.Path() + "\\conf\\" + name, name);
    const Holder writing(base.Path() + "\\conf\\catalina.out", FILE_SHARE_READ | FILE_SHARE_WRITE);
    const Holder locked(base.Path() + "\\conf\\locked.log", 0);
    EXPECT_THROW(files->CopyFile(base.Path() + "\\conf\\*.*", base.Path() + "\\out\\"),
                 PlatformError);
    EXPECT_EQ(ReadWholeFile(base.Path() + "\\out\\catalina.out"), "catalina.out\r\n");
    EXPECT_EQ(ReadWholeFile(base.Path() + "\\out\\z.xml"), "z.xml\r\n");
    EXPECT_TRUE(Exists(base.Path() + "\\out\\a.xml"));
    EXPECT_FALSE(Exists(base.Path() + "\\out\\locked.log"));
}

// A copy of a read-only file must not block the next run; the customer's own mark still does.
TEST(ReadOnlyFiles, CopiesAreWritableAndKeepTheirTime) {
    TempFolder base;
    const auto files = WindowsFiles();
    const std::string source = base.Path() + "\\conf\\server.xml";
    const std::string copy = base.Path() + "\\out\\server.xml";
    files->CreateFolder(base.Path() + "\\conf");
    files->CreateFolder(base.Path() + "\\out");
    WriteFile(*files, source, "x");
    const FILETIME stamp{0x12345678, 0x01D00000};
    {
        const KernelHandle file(ValidOrNull(::CreateFileW(
            Wide(source).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
        ASSERT_TRUE(file && ::SetFileTime(file.Get(), nullptr, nullptr, &stamp));
    }
    ASSERT_TRUE(::SetFileAttributesW(Wide(source).c_str(), FILE_ATTRIBUTE_READONLY));

    files->CopyFile(base.Path() + "\\conf\\*.xml", base.Path() + "\\out\\");
    files->CopyFile(base.Path() + "\\conf\\*.xml", base.Path() + "\\out\\");  // the next run
    EXPECT_FALSE(::GetFileAttributesW(Wide(copy).c_str()) & FILE_ATTRIBUTE_READONLY);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(Wide(copy).c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, stamp.dwLowDateTime);
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, stamp.dwHighDateTime);
    files->DeleteFolder(base.Path() + "\\out");
    EXPECT_FALSE(Exists(base.Path() + "\\out"));

    files->CreateFolder(base.Path() + "\\out");
    WriteFile(*files, copy, "the customer's");
    ASSERT_TRUE(::SetFileAttributesW(Wide(copy).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THROW(files->DeleteFolder(base.Path() + "\\out"), PlatformError);
    EXPECT_TRUE(Exists(copy));
    ::SetFileAttributesW(Wide(source).c_str(), FILE_ATTRIBUTE_NORMAL);
    ::SetFileAttributesW(Wide(copy).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The fixture folder holds tree\file.txt, tree\link (a directory link to target) and
// target\keep.txt; the test script makes it, as links cannot be made from inside Wine.
std::string LinkFixture() {
    const char* unixPath = std::getenv("QUIMBRO_LINK_FIXTURE");
    if (!unixPath) return {};
    std::string path = std::string("Z:") + unixPath;
    for (auto& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Real links: Wine's carry no reparse tag, which the portable tests only imitate.
TEST(Links, CopyingATreeSkipsItsLinks) {
    const std::string fixture = LinkFixture();
    if (fixture.empty()) GTEST_SKIP() << "no link fixture";
    const WindowsFileHost host;
    const auto isLink = [&](const std::string& path) {
        const auto found = host.Find(host.Native(fixture + path));
        return found && IsLink(*found);
    };
    EXPECT_TRUE(isLink("\\tree\\link"));
    EXPECT_FALSE(isLink("\\target"));
    EXPECT_FALSE(isLink("\\tree\\file.txt"));
    TempFolder into;
    WindowsFiles()->CopyFolder(fixture + "\\tre*", into.Path());
    EXPECT_TRUE(Exists(into.Path() + "\\tree\\file.txt"));
    EXPECT_FALSE(Exists(into.Path() + "\\tree\\link"));
}

// A real directory link, which Windows may refuse to remove as a folder.
TEST(Links, DeletingATreeNeverTouchesWhatALinkPointsTo) {
    const std::string fixture = LinkFixture();
    if (fixture.empty()) GTEST_SKIP() << "no link fixture";
    const WindowsFileHost host;
    // Where Windows refuses to remove the link, removing it fails instead of following it.
    try {
        host.Remove(host.Native(fixture + "\\tree\\link"));
    } catch (const PlatformError&) {
    }
    EXPECT_TRUE(Exists(fixture + "\\target\\keep.txt"));
    try {
        WindowsFiles()->DeleteFolder(fixture + "\\tree");
    } catch (const PlatformError&) {
    }
    EXPECT_TRUE(Exists(fixture + "\\target\\keep.txt"));
    EXPECT_FALSE(Exists(fixture + "\\tree\\file.txt"));
}

struct AnsiCase {
    const char* utf8;
    const char* ansi;
};

class AnsiReport : public testing::TestWithParam<AnsiCase> {
  protected:
    void SetUp() override {
        if (::GetACP() != 1252) GTEST_SKIP() << "the system's code page is not 1252";
    }
};

TEST_P(AnsiReport, ShowsWhatTheCodePageHasAndMarksTheRest) {
    EXPECT_EQ(WindowsFileHost().ReportText(GetParam().utf8), GetParam().ansi);
}

INSTANTIATE_TEST_SUITE_P(Cp1252, AnsiReport,
                         testing::Values(AnsiCase{"Path=C:\\WINNT", "Path=C:\\WINNT"},
                                         AnsiCase{"", ""}, AnsiCase{"Caf\xc3\xa9", "Caf\xe9"},
                                         AnsiCase{"\xe2\x82\xac", "\x80"},
                                         // No best fit: l-stroke is no plain l, alpha no a.
                                         AnsiCase{"\xc5\x82\xc3\xb3"
                                                  "d\xc5\xba",
                                                  "?\xf3"
                                                  "d?"},
                                         AnsiCase{"\xce\xb1", "?"},
                                         AnsiCase{"\xe6\x97\xa5\xe6\x9c\xac", "??"}));

TEST(AnsiReportFile, LinesInTheCodePageEndingInCrLf) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the system's code page is not 1252";
    TempFolder folder;
    auto log = WindowsFiles()->CreateTextFile(folder.Path() + "\\Quimbro_1252026_34934.log");
    log->WriteLine("USERNAME=J\xc3\xa9r\xc3\xb4me");
    log->WriteLine("");
    log->WriteLine("\xe6\x97\xa5");
    log->Close();
    EXPECT_EQ(ReadWholeFile(folder.Path() + "\\Quimbro_1252026_34934.log"),
              "USERNAME=J\xe9r\xf4me\r\n\r\n?\r\n");
}

}  // namespace
}  // namespace quimbro::win32::test
