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
    // The run's one thread beside its own: the commands' starts and the copies.
    std::shared_ptr<Worker> worker = std::make_shared<Worker>();
    WindowsAutomation automation{CommandRunner(), worker};
    ProcessSnapshot processes;
    LocalAdministrators administrators;
    // IIS 7 and later keep the metabase only with an optional feature; without it the sites
    // are read from IIS's own configuration file.
    FallbackMetabase metabase{std::make_unique<AdsiMetabase>(), OpenIisConfiguration};
    WindowsClock clock;
    Computer computer{automation, processes, administrators, metabase, clock};
};

WindowsComputer::WindowsComputer() : parts_(std::make_unique<Parts>()) {}

WindowsComputer::~WindowsComputer() = default;

Computer& WindowsComputer::computer() {
    return parts_->computer;
}

}  // namespace quimbro::win32
