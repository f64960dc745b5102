#pragma once

#include <memory>

#include "platform/ScriptHost.h"

#include <string>
#include <vector>

#include "platform/win32/Owners.h"
#include "support/Cases.h"

namespace quimbro::win32::test {

// Values set in a key of a registry view and taken away again, with the key if it was made.
class TestValues {
  public:
    TestValues(HKEY root, std::wstring key, REGSAM view = KEY_WOW64_64KEY);
    ~TestValues();
    TestValues(const TestValues&) = delete;
    TestValues& operator=(const TestValues&) = delete;

    // Data as UTF-16 text with "\0" for a NUL, or "hex:" and the bytes: "hex:01,fe".
    void Set(const std::wstring& name, DWORD type, const std::string& data);

  private:
    HKEY root_;
    std::wstring path_;
    REGSAM view_;
    RegistryKey key_;
    DWORD made_ = 0;
    std::vector<std::wstring> names_;
};

// A fresh folder below the temporary folder, whose name holds blanks; removed at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // UTF-8 Windows path without a trailing backslash.
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
bool Exists(const std::string& path);
std::unique_ptr<FileSystemObject> WindowsFiles();

// The program's own file, for tests that start it again, and its running copies.
std::wstring OwnProgram();
std::vector<DWORD> CopiesOfThisProgram();

// A Linux path as Wine's Z: drive shows it; a relative one is below tests/data.
std::string WinePath(const std::string& unixPath);

// The rows of a table below tests/data (support/Cases.h reads them, and their values).
std::vector<std::vector<std::string>> CaseTable(const std::string& name);
using quimbro::test::Split;
using quimbro::test::ValueOf;

}  // namespace quimbro::win32::test
