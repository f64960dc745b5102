#include "platform/win32/WindowsShell.h"

// The Windows headers first, then what builds on them.
#include "platform/win32/Owners.h"

#include <shlobj.h>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"
#include "platform/win32/Registry.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace quimbro::win32 {

std::string DesktopFolderPath() {
    CoTaskString folder;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, folder.Receive())) || !folder)
        throw PlatformError("no desktop folder");
    std::wstring path = folder.Get();
    // A drive root ("C:\") is the one folder Windows gives with a backslash at the end.
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    if (path.empty()) throw PlatformError("no desktop folder");
    return Utf8(path);
}

Value WindowsShell::RegRead(const std::string& path) {
    return ReadRegistryValue(path);
}

std::unique_ptr<RunningCommand> WindowsShell::Start(const std::string& commandLine,
                                                    const std::optional<std::string>& outputFile) {
    std::optional<OutputFile> output;
    if (outputFile) {
        const auto [folder, name] = SplitLastComponent(*outputFile);
        output = OutputFile{folders_->At(folder), name};
    }
    // The system's own interpreter by its full path: no search can find another one.
    return starter_.Start(win32::SystemFolder() + L"\\cmd.exe", commandLine, std::move(output));
}

std::string WindowsShell::DesktopFolder() {
    return DesktopFolderPath();
}

std::string WindowsShell::SystemFolder() {
    return Utf8(win32::SystemFolder());
}

std::vector<std::string> WindowsShell::Environment(const std::string& environmentClass) {
    return EnvironmentClass(environmentClass);
}

}  // namespace quimbro::win32
