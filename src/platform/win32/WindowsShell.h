#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ScriptHost.h"
#include "platform/VerifiedFolders.h"
#include "platform/win32/CommandStarter.h"

namespace quimbro::win32 {

// The current user's desktop folder, without a trailing backslash.
std::string DesktopFolderPath();

class WindowsShell final : public WScriptShell {
  public:
    // A capture's file is made in its folder as kept in `folders`, the output tree's.
    WindowsShell(CommandRunner runner, std::shared_ptr<Worker> worker,
                 std::shared_ptr<VerifiedFolders> folders)
        : starter_(std::move(runner), std::move(worker)), folders_(std::move(folders)) {}

    Value RegRead(const std::string& path) override;
    std::unique_ptr<RunningCommand> Start(const std::string& commandLine,
                                          const std::optional<std::string>& outputFile) override;
    std::string DesktopFolder() override;
    std::string SystemFolder() override;
    std::vector<std::string> Environment(const std::string& environmentClass) override;

  private:
    CommandStarter starter_;
    std::shared_ptr<VerifiedFolders> folders_;
};

}  // namespace quimbro::win32
