#pragma once

#include <memory>

#include "platform/ScriptHost.h"

#include <string>
#include <vector>

#include "platform/win32/Owners.h"

namespace quimbro::win32::test {

// A registry key the test makes and removes with everything in it, in the given view.
class TestKey {
  public:
    TestKey(HKEY root, std::wstring parent, std::wstring name, REGSAM view = KEY_WOW64_64KEY);
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    void Set(const std::wstring& name, DWORD type, const std::vector<BYTE>& data);
    void SetText(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ);

  private:
    HKEY root_;
    std::wstring parent_, name_;
    REGSAM view_;
    RegistryKey key_;
};

// Values the test adds to an existing key and takes away again.
class TestValues {
  public:
    TestValues(HKEY root, const std::wstring& key);
    ~TestValues();
    TestValues(const TestValues&) = delete;
    TestValues& operator=(const TestValues&) = delete;

    void SetText(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ);

  private:
    RegistryKey key_;
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

std::vector<BYTE> BytesOf(const std::wstring& text, bool withNul);
std::string ReadWholeFile(const std::string& path);
bool Exists(const std::string& path);

// The file-system object as the program makes it on Windows.
std::unique_ptr<FileSystemObject> WindowsFiles();

// The program's own file, for tests that start it again.
std::wstring OwnProgram();

}  // namespace quimbro::win32::test
