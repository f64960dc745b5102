#include "platform/win32/CommandStarter.h"

#include <future>

namespace quimbro::win32 {

namespace {

// A command whose start is queued; a command never waited for is ended once it has started.
class StartingCommand final : public RunningCommand {
  public:
    explicit StartingCommand(std::future<std::unique_ptr<RunningCommand>> starting)
        : starting_(std::move(starting)) {}

    // What the start threw is thrown here.
    void Wait() override {
        if (!started_) started_ = starting_.get();
        started_->Wait();
    }

  private:
    std::future<std::unique_ptr<RunningCommand>> starting_;
    std::unique_ptr<RunningCommand> started_;
};

}  // namespace

std::unique_ptr<RunningCommand> CommandStarter::Start(std::wstring program, std::string commandLine,
                                                      std::optional<OutputFile> outputFile) {
    // The worker may outlive the starter: the start takes its own runner.
    auto starting =
        worker_->Post([runner = runner_, program = std::move(program),
                       commandLine = std::move(commandLine), outputFile = std::move(outputFile)] {
            return runner.Start(program, commandLine, outputFile);
        });
    return std::make_unique<StartingCommand>(std::move(starting));
}

}  // namespace quimbro::win32
