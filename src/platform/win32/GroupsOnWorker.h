#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Computer.h"
#include "platform/Worker.h"
#include "platform/win32/CommandRunner.h"

namespace quimbro::win32 {

// A group look-up made on the worker thread: NetAPI names each member by asking the domain,
// which takes tens of seconds per member where the domain controller cannot be reached. The
// asking thread keeps its window answering meanwhile.
class GroupsOnWorker final : public LocalGroups {
  public:
    GroupsOnWorker(LocalGroups& groups, std::shared_ptr<Worker> worker, WaitHook whileWaiting)
        : groups_(groups), worker_(std::move(worker)), whileWaiting_(std::move(whileWaiting)) {}

    std::vector<MemberName> AdministratorsMembers(const std::string& computerName) override;

  private:
    LocalGroups& groups_;
    const std::shared_ptr<Worker> worker_;
    const WaitHook whileWaiting_;
};

}  // namespace quimbro::win32
