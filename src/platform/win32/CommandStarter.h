#pragma once

#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/ScriptHost.h"
#include "platform/win32/CommandRunner.h"

namespace quimbro::win32 {

// Starts commands on one thread of its own, one after another, so that making their processes
// (tens of milliseconds each) does not hold the window's thread. One thread for all: each
// thread costs memory, about a megabyte of it under Wine. Waiting for a command first waits for
// its start, answering the window meanwhile; a command that could not be started raises
// PlatformError from Wait. Destroyed, the starter first starts what it was given.
class CommandStarter {
  public:
    explicit CommandStarter(CommandRunner runner) : runner_(std::move(runner)) {}
    ~CommandStarter();
    CommandStarter(const CommandStarter&) = delete;
    CommandStarter& operator=(const CommandStarter&) = delete;

    // As CommandRunner::Start.
    std::unique_ptr<RunningCommand> Start(std::wstring program, std::string commandLine,
                                          std::optional<std::string> outputFile);

  private:
    using Task = std::packaged_task<std::unique_ptr<RunningCommand>()>;

    void Work();

    const CommandRunner runner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool ending_ = false;
    // Last, so the queue it works on exists for as long as it runs.
    std::thread thread_;
};

}  // namespace quimbro::win32
