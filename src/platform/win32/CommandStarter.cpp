#include "platform/win32/CommandStarter.h"

#include <chrono>

namespace quimbro::win32 {

namespace {

// A command whose start is queued; a command never waited for is ended once it has started.
class StartingCommand final : public RunningCommand {
  public:
    StartingCommand(std::future<std::unique_ptr<RunningCommand>> starting, WaitHook whileWaiting)
        : starting_(std::move(starting)), whileWaiting_(std::move(whileWaiting)) {}

    void Wait() override {
        if (!started_) {
            while (starting_.wait_for(CommandRunner::kWaitPace) != std::future_status::ready)
                if (whileWaiting_) whileWaiting_();
            started_ = starting_.get();
        }
        started_->Wait();
    }

  private:
    std::future<std::unique_ptr<RunningCommand>> starting_;
    std::unique_ptr<RunningCommand> started_;
    WaitHook whileWaiting_;
};

}  // namespace

CommandStarter::~CommandStarter() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

std::unique_ptr<RunningCommand> CommandStarter::Start(std::wstring program, std::string commandLine,
                                                      std::optional<std::string> outputFile) {
    Task task([this, program = std::move(program), commandLine = std::move(commandLine),
               outputFile = std::move(outputFile)] {
        return runner_.Start(program, commandLine, outputFile);
    });
    auto starting = std::make_unique<StartingCommand>(task.get_future(), runner_.WhileWaiting());
    {
        const std::lock_guard lock(mutex_);
        // The thread first: a start that fails here leaves nothing queued that no one would run.
        if (!thread_.joinable()) thread_ = std::thread([this] { Work(); });
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
    return starting;
}

void CommandStarter::Work() {
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return ending_ || !tasks_.empty(); });
        if (tasks_.empty()) return;
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        // A failure to start is kept in the task's future.
        task();
    }
}

}  // namespace quimbro::win32
