#include "fakes/FakeComputer.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <set>
#include <utility>

#include "platform/PlatformError.h"
#include "platform/PortableFileSystem.h"

namespace quimbro::test {

namespace {

template <class T>
const T& Present(const std::optional<T>& value) {
    if (!value) throw PlatformError("not available");
    return *value;
}

// A command that ends when the run waits for it: only then does its "output" land in its
// capture file.
class FakeCommand final : public RunningCommand {
  public:
    FakeCommand(FakeComputer& pc, std::string command, std::optional<std::string> target)
        : pc_(pc), command_(std::move(command)), target_(std::move(target)) {}

    void Wait() override {
        if (std::exchange(ended_, true)) return;
        if (target_)
            std::ofstream(pc_.host().Native(*target_), std::ios::binary)
                << command_ << " output\r\n";
        if (pc_.commandEnded) pc_.commandEnded(command_);
    }

  private:
    FakeComputer& pc_;
    std::string command_;
    std::optional<std::string> target_;
    bool ended_ = false;
};

class FakeScriptHost final : public WScriptShell, public WScriptNetwork {
  public:
    explicit FakeScriptHost(FakeComputer& pc) : pc_(pc) {}

    Value RegRead(const std::string& path) override {
        const auto found = pc_.registry.find(path);
        if (found == pc_.registry.end()) throw PlatformError("no such value");
        return found->second;
    }

    // Records the line and plays the interpreter: the command's output goes to the output file.
    std::unique_ptr<RunningCommand> Start(const std::string& commandLine,
                                          const std::optional<std::string>& outputFile) override {
        pc_.commandLines.push_back(commandLine);
        if (!pc_.commandsStartable) throw PlatformError("cannot start");
        // Inside the outer quotes of "cmd.exe /D /C "...""; the program by its file name.
        const auto inner = commandLine.substr(15, commandLine.size() - 16);
        const auto program = inner.substr(1, inner.find('"', 1) - 1);
        const auto command =
            program.substr(program.rfind('\\') + 1) + inner.substr(program.size() + 2);
        return std::make_unique<FakeCommand>(pc_, command, outputFile);
    }

    std::string DesktopFolder() override { return Present(pc_.desktop); }
    std::string SystemFolder() override { return Present(pc_.systemFolder); }
    std::vector<std::string> Environment(const std::string& environmentClass) override {
        return pc_.environment.at(environmentClass);
    }
    std::string UserName() override { return Present(pc_.userName); }
    std::string ComputerName() override { return Present(pc_.computerName); }
    std::string UserDomain() override { return Present(pc_.userDomain); }

  private:
    FakeComputer& pc_;
};

class FakeObject final : public MetabaseObject {
  public:
    FakeObject(FakeComputer& pc, std::string path) : pc_(pc), path_(std::move(path)) {}

    std::vector<std::unique_ptr<MetabaseObject>> Children() override {
        const auto& node = pc_.metabase.at(path_);
        if (!node.childrenReadable) throw PlatformError("cannot enumerate");
        std::vector<std::unique_ptr<MetabaseObject>> children;
        for (const auto& name : node.children)
            children.push_back(std::make_unique<FakeObject>(pc_, path_ + "/" + name));
        return children;
    }
    Value Get(const std::string& property) override {
        return pc_.metabase.at(path_).properties.at(property);
    }

  private:
    FakeComputer& pc_;
    std::string path_;
};

// The real file system, refusing to make the folders the test names: held where deleted before.
class RefusingHost final : public PosixFileHost {
  public:
    RefusingHost(const std::filesystem::path& root, std::map<std::string, int>& refused)
        : PosixFileHost(root), refused_(refused) {}
    FolderRef MakeFolder(const Folder& parent, const std::string& name) const override {
        const auto path = Child(parent.Path(), name);
        for (auto& [folder, times] : refused_)
            if (path.ends_with(folder) && times-- > 0)
                throw PlatformError("refused", removed_.count(path) ? PlatformError::Reason::Held
                                                                    : PlatformError::Reason::Other);
        return PosixFileHost::MakeFolder(parent, name);
    }
    void RemoveFolder(const Folder& folder) const override {
        PosixFileHost::RemoveFolder(folder);
        removed_.insert(folder.Path());
    }

  private:
    std::map<std::string, int>& refused_;
    mutable std::set<std::string> removed_;
};

}  // namespace

class FakeComputer::Parts final : public AutomationObjects,
                                  public ProcessList,
                                  public LocalGroups,
                                  public Metabase,
                                  public Clock {
  public:
    explicit Parts(FakeComputer& pc) : pc_(pc) {}

    std::unique_ptr<WScriptShell> CreateShell() override {
        if (!pc_.shellCreatable) throw PlatformError("cannot create");
        return std::make_unique<FakeScriptHost>(pc_);
    }
    std::unique_ptr<WScriptNetwork> CreateNetwork() override {
        return std::make_unique<FakeScriptHost>(pc_);
    }
    std::unique_ptr<FileSystemObject> CreateFileSystem() override {
        // A held folder's name is waited for briefly.
        return std::make_unique<PortableFileSystem>(pc_.host_, std::make_shared<Worker>(),
                                                    std::chrono::milliseconds(200));
    }
    std::vector<ProcessEntry> RunningProcesses() override { return Present(pc_.processes); }
    std::vector<MemberName> AdministratorsMembers(const std::string& computerName) override {
        if (computerName != Present(pc_.computerName)) throw PlatformError("no such computer");
        return Present(pc_.administrators);
    }
    std::unique_ptr<MetabaseObject> Bind(const std::string& path) override {
        const auto found = pc_.metabase.find(path);
        if (found == pc_.metabase.end() || !found->second.bindable)
            throw PlatformError("cannot bind");
        return std::make_unique<FakeObject>(pc_, found->first);
    }
    DateTime Now() override { return {2026, 12, 5, 3, 49, 34}; }
    std::string ShortDate(const DateTime& m) override {
        return std::to_string(m.month) + "/" + std::to_string(m.day) + "/" + std::to_string(m.year);
    }
    std::string TimeOfDay(const DateTime& m) override {
        const auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
        return std::to_string(m.hour) + ":" + two(m.minute) + ":" + two(m.second) + " AM";
    }

  private:
    FakeComputer& pc_;
};

FakeComputer::FakeComputer(const std::filesystem::path& driveRoot)
    : host_(std::make_shared<RefusingHost>(driveRoot, refusedFolders)),
      parts_(std::make_unique<Parts>(*this)) {
    computer_ = std::make_unique<Computer>(Computer{*parts_, *parts_, *parts_, *parts_, *parts_});
}

FakeComputer::~FakeComputer() = default;

}  // namespace quimbro::test
