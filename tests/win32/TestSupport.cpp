#include "TestSupport.h"

#include <algorithm>
#include <stdexcept>

#include "platform/PortableFileSystem.h"
#include "platform/WindowsPath.h"
#include "platform/win32/ProcessSnapshot.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsFileHost.h"

namespace quimbro::win32::test {

TestValues::TestValues(HKEY root, std::wstring key, REGSAM view)
    : root_(root), path_(std::move(key)), view_(view) {
    if (::RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr,
                          key_.Receive(), &made_) != ERROR_SUCCESS)
        throw std::runtime_error("test key cannot be opened");
}

TestValues::~TestValues() {
    for (const auto& name : names_) ::RegDeleteValueW(key_.Get(), name.c_str());
    key_.Reset();
    if (made_ == REG_CREATED_NEW_KEY) ::RegDeleteKeyExW(root_, path_.c_str(), view_, 0);
}

void TestValues::Set(const std::wstring& name, DWORD type, const std::string& data) {
    std::wstring text = Wide(data);
    for (auto at = text.find(L"\\0"); at != std::wstring::npos; at = text.find(L"\\0"))
        text.replace(at, 2, 1, L'\0');
    const auto* wide = reinterpret_cast<const BYTE*>(text.data());
    Bytes bytes(wide, wide + text.size() * sizeof(wchar_t));
    if (data.starts_with("hex:")) bytes = std::get<Bytes>(ValueOf("HEX " + data.substr(4)));
    if (::RegSetValueExW(key_.Get(), name.c_str(), 0, type, bytes.data(),
                         static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS)
        throw std::runtime_error("test value cannot be set");
    names_.push_back(name);
}

TempFolder::TempFolder() {
    static int count = 0;
    std::wstring folder(MAX_PATH + 1, L'\0');
    folder.resize(::GetTempPathW(MAX_PATH + 1, folder.data()));
    folder += L"quimbro test " + std::to_wstring(::GetCurrentProcessId()) + L" " +
              std::to_wstring(++count);
    if (!::CreateDirectoryW(folder.c_str(), nullptr))
        throw std::runtime_error("temporary folder cannot be created");
    path_ = Utf8(folder);
}

TempFolder::~TempFolder() {
    try {
        WindowsFiles()->DeleteFolder(path_);
    } catch (...) {
    }
}

std::string ReadWholeFile(const std::string& path) {
    const WindowsFileHost host;
    const auto source = host.OpenSource(host.Native(path));
    std::string content(source->Size(), '\0');
    content.resize(source->Read(content));
    return content;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesW(LongPath(Wide(path)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::unique_ptr<FileSystemObject> WindowsFiles() {
    return std::make_unique<PortableFileSystem>(std::make_shared<WindowsFileHost>());
}

std::wstring OwnProgram() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::vector<DWORD> CopiesOfThisProgram() {
    const std::string name = SplitLastComponent(Utf8(OwnProgram())).second;
    std::vector<DWORD> copies;
    for (const auto& process : ProcessSnapshot().RunningProcesses())
        if (process.name && process.id && EqualsIgnoringCase(*process.name, name))
            copies.push_back(*process.id);
    return copies;
}

std::string WinePath(const std::string& unixPath) {
    std::string path =
        std::string("Z:") + (unixPath.starts_with('/') ? "" : QUIMBRO_TEST_DATA "/") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::vector<std::vector<std::string>> CaseTable(const std::string& name) {
    return quimbro::test::Rows(ReadWholeFile(WinePath(name)));
}

}  // namespace quimbro::win32::test
