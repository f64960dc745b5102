#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "platform/FileHost.h"
#include "platform/Worker.h"

namespace quimbro {

// The copies a row's walk hands to the worker, which makes them alongside the walk from the
// row's first until the row ends: opening and closing files is the slow part of a small file's
// copy (under Wine a request to its file server), and one thread's bytes move while the
// other's file is being opened.
class CopyHandOff {
  public:
    struct Pending {
        FileHost::Entry from;
        FileHost::FolderRef into;
    };
    // One copy on the worker, through the worker's own buffer.
    using Copy = std::function<void(const Pending&, std::span<char> buffer)>;

    CopyHandOff(Worker& worker, Copy copy) : worker_(worker), copy_(std::move(copy)) {}
    // Drops what the worker has not taken and waits for its copy under way.
    ~CopyHandOff() { End(); }
    CopyHandOff(const CopyHandOff&) = delete;
    CopyHandOff& operator=(const CopyHandOff&) = delete;

    // Takes the copy (moving from it) while the worker keeps up; false when the walk is to
    // make it itself.
    bool Offer(Pending& pending);
    // A copy the worker has not taken yet, which the walk makes itself at the row's end.
    std::optional<Pending> Untaken();
    // Drops what is not taken and waits for the worker's last copy.
    void End();

  private:
    bool EnlistWorker();
    void CopyHandedOver();
    // The next copy handed over; the worker waits for one until the row ends.
    std::optional<Pending> Next(bool wait);

    Worker& worker_;
    const Copy copy_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Pending> queue_;
    bool ending_ = false;
    // Set when no worker thread could be had: the walk then copies everything itself.
    bool noWorker_ = false;
    // Ready when the worker has made its last handed-over copy.
    std::future<void> handedOver_;
};

}  // namespace quimbro
