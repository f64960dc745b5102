#include "platform/win32/WindowsAutomation.h"

#include "platform/PortableFileSystem.h"
#include "platform/win32/WindowsFileHost.h"
#include "platform/win32/WindowsNetwork.h"
#include "platform/win32/WindowsShell.h"

namespace quimbro::win32 {

std::unique_ptr<WScriptShell> WindowsAutomation::CreateShell() {
    return std::make_unique<WindowsShell>(runner_, worker_, folders_);
}

std::unique_ptr<WScriptNetwork> WindowsAutomation::CreateNetwork() {
    return std::make_unique<WindowsNetwork>();
}

std::unique_ptr<FileSystemObject> WindowsAutomation::CreateFileSystem() {
    return std::make_unique<PortableFileSystem>(host_, worker_, PortableFileSystem::kNameWait,
                                                folders_);
}

}  // namespace quimbro::win32
