#include "platform/win32/WindowsComputer.h"

#include "platform/FallbackMetabase.h"
#include "platform/win32/AdsiMetabase.h"
#include "platform/win32/IisConfigurationFile.h"
#include "platform/win32/LocalAdministrators.h"
#include "platform/win32/ProcessSnapshot.h"
#include "platform/win32/WindowsAutomation.h"
#include "platform/win32/WindowsClock.h"

namespace quimbro::win32 {

struct WindowsComputer::Parts {
    explicit Parts(WaitHook whileWaiting)
        : automation(CommandRunner(CommandRunner::kDefaultLimit, std::move(whileWaiting))) {}

    WindowsAutomation automation;
    ProcessSnapshot processes;
    LocalAdministrators groups;
    // IIS 7 and later keep the metabase only with an optional feature; without it the sites
    // are read from IIS's own configuration file.
    FallbackMetabase metabase{std::make_unique<AdsiMetabase>(), OpenIisConfiguration};
    WindowsClock clock;
    Computer computer{automation, processes, groups, metabase, clock};
};

WindowsComputer::WindowsComputer(WaitHook whileWaiting)
    : parts_(std::make_unique<Parts>(std::move(whileWaiting))) {}

WindowsComputer::~WindowsComputer() = default;

Computer& WindowsComputer::computer() {
    return parts_->computer;
}

}  // namespace quimbro::win32
