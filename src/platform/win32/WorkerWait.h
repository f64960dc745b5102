#pragma once

#include <future>

#include "platform/win32/CommandRunner.h"

namespace quimbro::win32 {

// The result of work handed to the worker, the waiting thread doing `whileWaiting` every
// CommandRunner::kWaitPace meanwhile; what the work threw is thrown here.
template <class Result>
Result AwaitAnswering(std::future<Result>& result, const WaitHook& whileWaiting) {
    while (result.wait_for(CommandRunner::kWaitPace) != std::future_status::ready)
        if (whileWaiting) whileWaiting();
    return result.get();
}

}  // namespace quimbro::win32
