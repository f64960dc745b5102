#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Computer.h"
#include "platform/PosixFileHost.h"

namespace quimbro::test {

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// A metabase object: its properties and its children's names, in order. A child's path is
// the parent's path, "/" and the child's name.
struct FakeMetabaseNode {
    std::map<std::string, Value> properties;
    std::vector<std::string> children;
    bool bindable = true;
    bool childrenReadable = true;
};

// A computer made of plain values; anything left empty fails when it is read. Files are
// real, below a drive root of the test's own.
class FakeComputer {
  public:
    explicit FakeComputer(const std::filesystem::path& driveRoot);
    ~FakeComputer();

    Computer& computer() { return *computer_; }

    std::map<std::string, Value, CaseInsensitiveLess> registry;
    std::optional<std::string> desktop;
    std::map<std::string, std::vector<std::string>> environment;
    std::optional<std::string> userName, computerName, userDomain;
    std::optional<std::vector<ProcessEntry>> processes;
    std::optional<std::vector<MemberName>> administrators;
    std::map<std::string, FakeMetabaseNode, CaseInsensitiveLess> metabase;
    DateTime now{2026, 12, 5, 3, 49, 34};
    bool shellCreatable = true, networkCreatable = true, fileSystemCreatable = true;
    // Folders (by the end of their path) whose creation is refused, as for a denied access.
    std::vector<std::string> refusedFolders;
    bool commandsStartable = true;
    // Told each command (the text after "cmd /C ") when it ends, which is when the run waits.
    std::function<void(const std::string& command)> commandEnded;

    // What was asked of the computer.
    std::vector<std::string> commandLines;
    std::vector<std::string> administratorsAskedFor;

    const PosixFileHost& host() const { return *host_; }

  private:
    class Parts;
    std::shared_ptr<const PosixFileHost> host_;
    std::unique_ptr<Parts> parts_;
    std::unique_ptr<Computer> computer_;
};

}  // namespace quimbro::test
