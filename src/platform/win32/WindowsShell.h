#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ScriptHost.h"
#include "platform/win32/CommandStarter.h"

namespace quimbro::win32 {

// The current user's desktop folder, without a trailing backslash.
std::string DesktopFolderPath();

class WindowsShell final : public WScriptShell {
  public:
    WindowsShell(CommandRunner runner, std::shared_ptr<Worker> worker)
        : starter_(std::move(runner), std::move(worker)) {}

    Value RegRead(const std::string& path) override;
    std::unique_ptr<RunningCommand> Start(const std::string& commandLine,
                                          const std::optional<std::string>& outputFile) override;
    std::string DesktopFolder() override;
    std::string SystemFolder() override;
    std::vector<std::string> Environment(const std::string& environmentClass) override;

  private:
    CommandStarter starter_;
};

}  // namespace quimbro::win32
