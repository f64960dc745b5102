#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>

namespace quimbro {

// The run's one thread beside the window's, made when it is first handed something: it does
// what it is handed, one piece after another. One thread for all the work handed over (starting the
// captures, copying files alongside the walk), because under Wine each thread costs about a
// megabyte. Destroyed, it first does what it was given.
class Worker {
  public:
    Worker() = default;
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // The future holds the work's result, or what it threw. Raises std::system_error, with
    // nothing handed over, when the thread cannot be made.
    template <class Job>
    std::future<std::invoke_result_t<Job&>> Post(Job job) {
        auto task =
            std::make_shared<std::packaged_task<std::invoke_result_t<Job&>()>>(std::move(job));
        auto result = task->get_future();
        Queue([task] { (*task)(); });
        return result;
    }

  private:
    void Queue(std::function<void()> piece);
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> pieces_;
    bool ending_ = false;
    // Last, so the queue it works on exists for as long as it runs.
    std::thread thread_;
};

}  // namespace quimbro
