#include "platform/CopyHandOff.h"

#include <system_error>

#include "platform/FileCopy.h"

namespace quimbro {

namespace {
// Enough for the worker never to wait on the walk, few enough to hold no memory to speak of.
constexpr std::size_t kQueued = 8;
}  // namespace

bool CopyHandOff::Offer(Pending& pending) {
    {
        const std::lock_guard lock(mutex_);
        if (ending_ || !EnlistWorker() || queue_.size() >= kQueued) return false;
        queue_.push_back(std::move(pending));
    }
    ready_.notify_one();
    return true;
}

std::optional<CopyHandOff::Pending> CopyHandOff::Untaken() {
    return Next(false);
}

void CopyHandOff::End() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
        queue_.clear();
    }
    ready_.notify_all();
    if (!handedOver_.valid()) return;
    handedOver_.wait();
    handedOver_ = {};
}

bool CopyHandOff::EnlistWorker() {
    if (!handedOver_.valid() && !noWorker_) {
        try {
            handedOver_ = worker_.Post([this] { CopyHandedOver(); });
        } catch (const std::system_error&) {
            noWorker_ = true;
        }
    }
    return handedOver_.valid();
}

void CopyHandOff::CopyHandedOver() {
    const auto buffer = FileCopy::NewBuffer();
    while (const auto pending = Next(true)) copy_(*pending, {buffer.get(), FileCopy::kBufferSize});
}

std::optional<CopyHandOff::Pending> CopyHandOff::Next(bool wait) {
    std::unique_lock lock(mutex_);
    if (wait) ready_.wait(lock, [&] { return ending_ || !queue_.empty(); });
    if (queue_.empty()) return std::nullopt;
    Pending next = std::move(queue_.front());
    queue_.pop_front();
    return next;
}

}  // namespace quimbro
