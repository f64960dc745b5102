#pragma once

#include <memory>

#include "platform/ScriptHost.h"
#include "platform/win32/CommandRunner.h"

namespace quimbro::win32 {

// The three objects, made on the Win32 API; none of them can fail to be created.
class WindowsAutomation final : public AutomationObjects {
  public:
    explicit WindowsAutomation(CommandRunner runner = CommandRunner())
        : runner_(std::move(runner)) {}

    std::unique_ptr<WScriptShell> CreateShell() override;
    std::unique_ptr<WScriptNetwork> CreateNetwork() override;
    std::unique_ptr<FileSystemObject> CreateFileSystem() override;

  private:
    CommandRunner runner_;
};

}  // namespace quimbro::win32
