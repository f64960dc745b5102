#include "platform/win32/WindowsComputer.h"

#include "platform/FallbackMetabase.h"
#include "platform/win32/AdsiMetabase.h"
#include "platform/win32/GroupsOnWorker.h"
#include "platform/win32/IisConfigurationFile.h"
#include "platform/win32/LocalAdministrators.h"
#include "platform/win32/ProcessSnapshot.h"
#include "platform/win32/WindowsAutomation.h"
#include "platform/win32/WindowsClock.h"

namespace quimbro::win32 {

struct WindowsComputer::Parts {
    Parts(const WaitHook& whileWaiting, WaitHook turn)
        : automation(CommandRunner(CommandRunner::kDefaultLimit, whileWaiting), worker,
                     std::move(turn)),
          groups(administrators, worker, whileWaiting) {}

    // Before the worker, which may still be looking it up when the run ends.
    LocalAdministrators administrators;
    // The run's one thread beside the window's: the commands' starts, the copies, the group.
    std::shared_ptr<Worker> worker = std::make_shared<Worker>();
    WindowsAutomation automation;
    ProcessSnapshot processes;
    GroupsOnWorker groups;
    // IIS 7 and later keep the metabase only with an optional feature; without it the sites
    // are read from IIS's own configuration file.
    FallbackMetabase metabase{std::make_unique<AdsiMetabase>(), OpenIisConfiguration};
    WindowsClock clock;
    Computer computer{automation, processes, groups, metabase, clock};
};

WindowsComputer::WindowsComputer(WaitHook whileWaiting, WaitHook turn)
    : parts_(std::make_unique<Parts>(whileWaiting, std::move(turn))) {}

WindowsComputer::~WindowsComputer() = default;

Computer& WindowsComputer::computer() {
    return parts_->computer;
}

}  // namespace quimbro::win32
