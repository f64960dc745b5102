#pragma once

#include <string>
#include <vector>

#include "platform/Computer.h"

namespace quimbro::win32 {

// The built-in Administrators group found by its well-known SID, so that its name in the
// system's language does not matter; the members by their names alone.
class LocalAdministrators final : public LocalGroups {
  public:
    std::vector<MemberName> AdministratorsMembers(const std::string& computerName) override;
};

}  // namespace quimbro::win32
