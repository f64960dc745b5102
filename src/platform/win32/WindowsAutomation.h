#pragma once

#include <memory>

#include "platform/ScriptHost.h"
#include "platform/Worker.h"
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
    // The shell starts its commands on it and the file system copies on it.
    std::shared_ptr<Worker> worker_ = std::make_shared<Worker>();
};

}  // namespace quimbro::win32
