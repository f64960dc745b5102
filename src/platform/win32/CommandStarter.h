#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ScriptHost.h"
#include "platform/Worker.h"
#include "platform/win32/CommandRunner.h"

namespace quimbro::win32 {

// Starts commands on the worker thread, one after another, so that making their processes
// (tens of milliseconds each) does not hold the run, which goes on with its own steps
// meanwhile. Waiting for a command first waits for its start; a command that could not be
// started raises PlatformError from Wait.
class CommandStarter {
  public:
    CommandStarter(CommandRunner runner, std::shared_ptr<Worker> worker)
        : runner_(std::move(runner)), worker_(std::move(worker)) {}

    // As CommandRunner::Start.
    std::unique_ptr<RunningCommand> Start(std::wstring program, std::string commandLine,
                                          std::optional<OutputFile> outputFile);

  private:
    const CommandRunner runner_;
    const std::shared_ptr<Worker> worker_;
};

}  // namespace quimbro::win32
