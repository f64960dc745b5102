#include "TestSupport.h"

#include <cstring>
#include <stdexcept>

#include "platform/PortableFileSystem.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsFileHost.h"

namespace quimbro::win32::test {

TestKey::TestKey(HKEY root, std::wstring parent, std::wstring name, REGSAM view)
    : root_(root), parent_(std::move(parent)), name_(std::move(name)), view_(view) {
    const std::wstring path = parent_ + L"\\" + name_;
    if (::RegCreateKeyExW(root_, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr,
                          key_.Receive(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("test key cannot be created");
}

TestKey::~TestKey() {
    key_.Reset();
    RegistryKey parent;
    if (::RegOpenKeyExW(root_, parent_.c_str(), 0, KEY_ALL_ACCESS | view_, parent.Receive()) ==
        ERROR_SUCCESS)
        ::RegDeleteTreeW(parent.Get(), name_.c_str());
}

void TestKey::Set(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    if (::RegSetValueExW(key_.Get(), name.c_str(), 0, type, data.data(),
                         static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        throw std::runtime_error("test value cannot be set");
}

void TestKey::SetText(const std::wstring& name, const std::wstring& text, DWORD type) {
    Set(name, type, BytesOf(text, true));
}

TestValues::TestValues(HKEY root, const std::wstring& key) {
    if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.Receive(),
                          nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("test key cannot be opened");
}

TestValues::~TestValues() {
    for (const auto& name : names_) ::RegDeleteValueW(key_.Get(), name.c_str());
}

void TestValues::SetText(const std::wstring& name, const std::wstring& text, DWORD type) {
    const auto data = BytesOf(text, true);
    if (::RegSetValueExW(key_.Get(), name.c_str(), 0, type, data.data(),
                         static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        throw std::runtime_error("test value cannot be set");
    names_.push_back(name);
}

TempFolder::TempFolder() {
    std::wstring temp(MAX_PATH + 1, L'\0');
    temp.resize(::GetTempPathW(MAX_PATH + 1, temp.data()));
    static int count = 0;
    const std::wstring folder = temp + L"quimbro test " + std::to_wstring(::GetCurrentProcessId()) +
                                L" " + std::to_wstring(++count);
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

std::vector<BYTE> BytesOf(const std::wstring& text, bool withNul) {
    std::vector<BYTE> bytes((text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t), 0);
    std::memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
    return bytes;
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

std::wstring OwnProgram() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::unique_ptr<FileSystemObject> WindowsFiles() {
    return std::make_unique<PortableFileSystem>(std::make_shared<WindowsFileHost>());
}

}  // namespace quimbro::win32::test
