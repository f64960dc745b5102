#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ScriptHost.h"
#include "platform/Value.h"

// What the run reads of the computer besides the script-host objects. Every operation
// raises PlatformError when it cannot do what was asked.
namespace quimbro {

// One running process; a property that could not be read is empty.
struct ProcessEntry {
    std::optional<std::string> name;
    std::optional<std::uint32_t> id;
};

class ProcessList {
  public:
    virtual ~ProcessList() = default;
    virtual std::vector<ProcessEntry> RunningProcesses() = 0;
};

// One member of a group; empty when its name could not be read.
using MemberName = std::optional<std::string>;

class LocalGroups {
  public:
    virtual ~LocalGroups() = default;
    // The members of the built-in Administrators group (S-1-5-32-544) of the named computer,
    // whatever the group is called in the system's language.
    virtual std::vector<MemberName> AdministratorsMembers(const std::string& computerName) = 0;
};

class MetabaseObject {
  public:
    virtual ~MetabaseObject() = default;
    virtual std::vector<std::unique_ptr<MetabaseObject>> Children() = 0;
    virtual Value Get(const std::string& property) = 0;
};

class Metabase {
  public:
    virtual ~Metabase() = default;
    // An "IIS://computer/W3SVC..." path.
    virtual std::unique_ptr<MetabaseObject> Bind(const std::string& path) = 0;
};

struct DateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual DateTime Now() = 0;
    // In the user's short date and time formats: 12/5/2026 and 3:49:34 AM in US English.
    virtual std::string ShortDate(const DateTime& moment) = 0;
    virtual std::string TimeOfDay(const DateTime& moment) = 0;
};

// Everything the run reaches the computer through, apart from its window.
struct Computer {
    AutomationObjects& automation;
    ProcessList& processes;
    LocalGroups& groups;
    Metabase& metabase;
    Clock& clock;
};

}  // namespace quimbro
