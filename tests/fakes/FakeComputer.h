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
#include "platform/WindowsPath.h"

namespace quimbro::test {

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return FoldCase(a) < FoldCase(b);
    }
};

// A metabase object: its properties and its children's names, in order. A child's path is
// the parent's path, "/" and the child's name.
struct FakeMetabaseNode {
    std::map<std::string, Value> properties;
    std::vector<std::string> children;
    bool bindable = true;
    bool childrenReadable = true;
};

// A computer made of plain values, at 3:49:34 AM on 12/5/2026; anything left empty fails when
// it is read. Files are real, below a drive root of the test's own.
class FakeComputer {
  public:
    explicit FakeComputer(const std::filesystem::path& driveRoot);
    ~FakeComputer();

    Computer& computer() { return *computer_; }

    std::map<std::string, Value, CaseInsensitiveLess> registry;
    std::optional<std::string> desktop;
    std::optional<std::string> systemFolder = "C:\\Windows\\system32";
    std::map<std::string, std::vector<std::string>> environment;
    std::optional<std::string> userName, computerName, userDomain;
    std::optional<std::vector<ProcessEntry>> processes;
    // The Administrators group of the computer named computerName.
    std::optional<std::vector<MemberName>> administrators;
    std::map<std::string, FakeMetabaseNode, CaseInsensitiveLess> metabase;
    bool shellCreatable = true, commandsStartable = true;
    // Folders (by the end of their path) whose creation is refused so many more times, as for
    // a denied access or a deleted folder another program still holds.
    std::map<std::string, int> refusedFolders;
    // Told each command (its program's file name and arguments) when it ends, which is when the run
    // waits.
    std::function<void(const std::string& command)> commandEnded;
    // The command lines started.
    std::vector<std::string> commandLines;

    const PosixFileHost& host() const { return *host_; }

  private:
    class Parts;
    std::shared_ptr<const PosixFileHost> host_;
    std::unique_ptr<Parts> parts_;
    std::unique_ptr<Computer> computer_;
};

}  // namespace quimbro::test
