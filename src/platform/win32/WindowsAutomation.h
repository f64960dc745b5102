#pragma once

#include <memory>

#include "platform/ScriptHost.h"
#include "platform/VerifiedFolders.h"
#include "platform/Worker.h"
#include "platform/win32/CommandRunner.h"
#include "platform/win32/WindowsFileHost.h"

namespace quimbro::win32 {

// The three objects, made on the Win32 API; none of them can fail to be created.
class WindowsAutomation final : public AutomationObjects {
  public:
    // The shell starts its commands on `worker` and the file system copies on it.
    explicit WindowsAutomation(CommandRunner runner = CommandRunner(),
                               std::shared_ptr<Worker> worker = std::make_shared<Worker>())
        : runner_(std::move(runner)),
          worker_(std::move(worker)),
          host_(std::make_shared<WindowsFileHost>()),
          folders_(std::make_shared<VerifiedFolders>(host_)) {}

    std::unique_ptr<WScriptShell> CreateShell() override;
    std::unique_ptr<WScriptNetwork> CreateNetwork() override;
    std::unique_ptr<FileSystemObject> CreateFileSystem() override;

  private:
    CommandRunner runner_;
    std::shared_ptr<Worker> worker_;
    // The output tree's folders, shared by the file system and the shell's captures.
    std::shared_ptr<const FileHost> host_;
    std::shared_ptr<VerifiedFolders> folders_;
};

}  // namespace quimbro::win32
