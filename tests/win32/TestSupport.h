#pragma once

#include <memory>

#include "platform/ScriptHost.h"

#include <string>
#include <vector>

#include "platform/win32/Owners.h"

namespace quimbro::win32::test {

// Values the test sets in a registry key, in the given view, and takes away again; the key
// goes too when the test made it.
class TestValues {
  public:
    TestValues(HKEY root, std::wstring key, REGSAM view = KEY_WOW64_64KEY);
    ~TestValues();
    TestValues(const TestValues&) = delete;
    TestValues& operator=(const TestValues&) = delete;

    void Set(const std::wstring& name, DWORD type, const std::vector<BYTE>& data);
    void SetText(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ);

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
std::vector<std::string> Split(const std::string& text, char separator);

// The file-system object as the program makes it on Windows.
std::unique_ptr<FileSystemObject> WindowsFiles();

// The program's own file, for tests that start it again, and its running copies.
std::wstring OwnProgram();
std::vector<DWORD> CopiesOfThisProgram();

// A Linux path as Wine's Z: drive shows it; a relative one is below tests/data.
std::string WinePath(const std::string& unixPath);

// The cases of a table below tests/data, one a line, split at tabs; "#" starts a comment line.
std::vector<std::vector<std::string>> CaseTable(const std::string& name);

// Bytes written as hex pairs: "01 02 fe".
std::vector<BYTE> HexBytes(const std::string& hex);

// A value as the case tables write it: "text:...", "int:-2", "uint:5", "bool:true",
// "list:a|b", "bytes:01 fe".
Value ValueFrom(const std::string& written);

}  // namespace quimbro::win32::test
