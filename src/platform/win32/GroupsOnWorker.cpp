#include "platform/win32/GroupsOnWorker.h"

#include "platform/win32/WorkerWait.h"

namespace quimbro::win32 {

std::vector<MemberName> GroupsOnWorker::AdministratorsMembers(const std::string& computerName) {
    auto members = worker_->Post(
        [&groups = groups_, computerName] { return groups.AdministratorsMembers(computerName); });
    return AwaitAnswering(members, whileWaiting_);
}

}  // namespace quimbro::win32
