#include "platform/Worker.h"

namespace quimbro {

Worker::~Worker() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void Worker::Queue(std::function<void()> piece) {
    {
        const std::lock_guard lock(mutex_);
        // The thread first: a piece is never queued where no thread would do it.
        if (!thread_.joinable()) thread_ = std::thread([this] { Work(); });
        pieces_.push_back(std::move(piece));
    }
    wake_.notify_one();
}

void Worker::Work() {
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return ending_ || !pieces_.empty(); });
        if (pieces_.empty()) return;
        auto piece = std::move(pieces_.front());
        pieces_.pop_front();
        lock.unlock();
        // A packaged task keeps what it throws in its future.
        piece();
    }
}

}  // namespace quimbro
