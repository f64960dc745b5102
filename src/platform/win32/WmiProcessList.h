#pragma once

#include <vector>

#include "platform/Computer.h"

namespace quimbro::win32 {

// The running processes through WMI (Win32_Process, Name and ProcessId) in WMI's order.
// Where WMI cannot be reached, as with a broken repository, a process snapshot gives the
// same name and identifier.
class WmiProcessList final : public ProcessList {
  public:
    std::vector<ProcessEntry> RunningProcesses() override;
};

std::vector<ProcessEntry> WmiProcesses();
std::vector<ProcessEntry> SnapshotProcesses();

}  // namespace quimbro::win32
