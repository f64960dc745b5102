#pragma once

#include <memory>

#include "platform/ScriptHost.h"
#include "platform/Worker.h"
#include "platform/win32/CommandRunner.h"

namespace quimbro::win32 {

// The three objects, made on the Win32 API; none of them can fail to be created.
class WindowsAutomation final : public AutomationObjects {
  public:
    // The shell starts its commands on `worker` and the file system copies on it.
    explicit WindowsAutomation(CommandRunner runner = CommandRunner(),
                               std::shared_ptr<Worker> worker = std::make_shared<Worker>())
        : runner_(std::move(runner)), worker_(std::move(worker)) {}

    std::unique_ptr<WScriptShell> CreateShell() override;
    std::unique_ptr<WScriptNetwork> CreateNetwork() override;
    std::unique_ptr<FileSystemObject> CreateFileSystem() override;

  private:
    CommandRunner runner_;
    std::shared_ptr<Worker> worker_;
};

}  // namespace quimbro::win32
