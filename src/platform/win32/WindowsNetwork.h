#pragma once

#include <string>

#include "platform/ScriptHost.h"

namespace quimbro::win32 {

class WindowsNetwork final : public WScriptNetwork {
  public:
    std::string UserName() override;
    std::string ComputerName() override;
    // The domain of the account the program runs as, taken from its own security token: the
    // USERDOMAIN variable can be missing or set to anything by whoever starts the program.
    std::string UserDomain() override;
};

}  // namespace quimbro::win32
