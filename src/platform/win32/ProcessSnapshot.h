#pragma once

#include <vector>

#include "platform/Computer.h"

namespace quimbro::win32 {

// The running processes, name and identifier, in the order the system keeps them, from a
// process snapshot: what WMI's Win32_Process gives, without its service, its provider's
// memory or its time (on Wine about 13 MiB and a quarter of a second), and also where the
// WMI repository is broken, as it often is on a computer that support is called about.
class ProcessSnapshot final : public ProcessList {
  public:
    std::vector<ProcessEntry> RunningProcesses() override;
};

}  // namespace quimbro::win32
