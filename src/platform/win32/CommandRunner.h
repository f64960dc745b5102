#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>

// Runs a command line with a hidden window and waits for its end.
namespace quimbro::win32 {

// What the waiting thread does about every 50 ms and whenever a message arrives for it: the
// window's thread must keep answering the system while a command runs.
using WaitHook = std::function<void()>;

// Answers messages sent by other threads and repaints the thread's windows, without taking
// any input: a click during a run is handled only after it.
void KeepWindowsPainted();

class CommandRunner {
  public:
    // A command still running after this long is ended with every process it started.
    static constexpr std::chrono::milliseconds kDefaultLimit = std::chrono::minutes(5);

    explicit CommandRunner(std::chrono::milliseconds limit = kDefaultLimit,
                           WaitHook whileWaiting = KeepWindowsPainted)
        : limit_(limit), whileWaiting_(std::move(whileWaiting)) {}

    // Starts the command line exactly as given (no handles inherited) and returns when it has
    // ended or has been ended at the limit; what it wrote so far stays written. Processes it
    // leaves behind end with it. Raises PlatformError when it cannot be started.
    void Run(const std::string& commandLine) const;

  private:
    std::chrono::milliseconds limit_;
    WaitHook whileWaiting_;
};

}  // namespace quimbro::win32
