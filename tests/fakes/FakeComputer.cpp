#include "fakes/FakeComputer.h"

#include <fstream>
#include <utility>

#include "platform/PlatformError.h"
#include "platform/PortableFileSystem.h"
#include "platform/WindowsPath.h"

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

class FakeShell final : public WScriptShell {
  public:
    explicit FakeShell(FakeComputer& pc) : pc_(pc) {}

    Value RegRead(const std::string& path) override {
        const auto found = pc_.registry.find(path);
        if (found == pc_.registry.end()) throw PlatformError("no such value");
        return found->second;
    }

    // Records the line and plays the interpreter: the command's output goes to the output
    // file or, without one, to the line's quoted redirection target.
    std::unique_ptr<RunningCommand> Start(const std::string& commandLine,
                                          const std::optional<std::string>& outputFile) override {
        pc_.commandLines.push_back(commandLine);
        if (!pc_.commandsStartable) throw PlatformError("cannot start");
        auto command = commandLine.substr(7);  // after "cmd /C "
        auto target = outputFile;
        const auto redirect = command.find(" > \"");
        if (!target && redirect != std::string::npos && command.back() == '"') {
            target = command.substr(redirect + 4, command.size() - redirect - 5);
            command.resize(redirect);
        }
        return std::make_unique<FakeCommand>(pc_, command, target);
    }

    std::string DesktopFolder() override { return Present(pc_.desktop); }

    std::vector<std::string> Environment(const std::string& environmentClass) override {
        const auto found = pc_.environment.find(environmentClass);
        if (found == pc_.environment.end()) throw PlatformError("no such class");
        return found->second;
    }

  private:
    FakeComputer& pc_;
};

class FakeNetwork final : public WScriptNetwork {
  public:
    explicit FakeNetwork(FakeComputer& pc) : pc_(pc) {}
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
        const auto found = pc_.metabase.find(path_);
        if (found == pc_.metabase.end()) throw PlatformError("no such object");
        const auto value = found->second.properties.find(property);
        if (value == found->second.properties.end()) throw PlatformError("no such property");
        return value->second;
    }

  private:
    FakeComputer& pc_;
    std::string path_;
};

// The real file system, refusing the folders the test names.
class RefusingFileSystem final : public FileSystemObject {
  public:
    RefusingFileSystem(FakeComputer& pc, std::shared_ptr<const FileHost> host)
        : pc_(pc), files_(std::move(host)) {}

    bool FolderExists(const std::string& path) override { return files_.FolderExists(path); }
    void DeleteFolder(const std::string& path) override { files_.DeleteFolder(path); }
    void CreateFolder(const std::string& path) override {
        for (const auto& refused : pc_.refusedFolders)
            if (path.ends_with(refused)) throw PlatformError("access denied");
        files_.CreateFolder(path);
    }
    void CopyFolder(const std::string& source, const std::string& destination) override {
        files_.CopyFolder(source, destination);
    }
    void CopyFile(const std::string& source, const std::string& destination) override {
        files_.CopyFile(source, destination);
    }
    std::unique_ptr<TextStream> CreateTextFile(const std::string& path) override {
        return files_.CreateTextFile(path);
    }

  private:
    FakeComputer& pc_;
    PortableFileSystem files_;
};

}  // namespace

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
    const auto fold = [](std::string s) {
        for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    return fold(a) < fold(b);
}

class FakeComputer::Parts final : public AutomationObjects,
                                  public ProcessList,
                                  public LocalGroups,
                                  public Metabase,
                                  public Clock {
  public:
    explicit Parts(FakeComputer& pc) : pc_(pc) {}

    std::unique_ptr<WScriptShell> CreateShell() override {
        if (!pc_.shellCreatable) throw PlatformError("cannot create");
        return std::make_unique<FakeShell>(pc_);
    }
    std::unique_ptr<WScriptNetwork> CreateNetwork() override {
        if (!pc_.networkCreatable) throw PlatformError("cannot create");
        return std::make_unique<FakeNetwork>(pc_);
    }
    std::unique_ptr<FileSystemObject> CreateFileSystem() override {
        if (!pc_.fileSystemCreatable) throw PlatformError("cannot create");
        return std::make_unique<RefusingFileSystem>(pc_, pc_.host_);
    }

    std::vector<ProcessEntry> RunningProcesses() override { return Present(pc_.processes); }

    std::vector<MemberName> AdministratorsMembers(const std::string& computerName) override {
        pc_.administratorsAskedFor.push_back(computerName);
        return Present(pc_.administrators);
    }

    std::unique_ptr<MetabaseObject> Bind(const std::string& path) override {
        const auto found = pc_.metabase.find(path);
        if (found == pc_.metabase.end() || !found->second.bindable)
            throw PlatformError("cannot bind");
        return std::make_unique<FakeObject>(pc_, found->first);
    }

    DateTime Now() override { return pc_.now; }
    std::string ShortDate(const DateTime& m) override {
        return std::to_string(m.month) + "/" + std::to_string(m.day) + "/" + std::to_string(m.year);
    }
    std::string TimeOfDay(const DateTime& m) override {
        const auto twoDigits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
        const int hour12 = m.hour % 12 == 0 ? 12 : m.hour % 12;
        return std::to_string(hour12) + ":" + twoDigits(m.minute) + ":" + twoDigits(m.second) +
               (m.hour < 12 ? " AM" : " PM");
    }

  private:
    FakeComputer& pc_;
};

FakeComputer::FakeComputer(const std::filesystem::path& driveRoot)
    : host_(std::make_shared<PosixFileHost>(driveRoot)), parts_(std::make_unique<Parts>(*this)) {
    computer_ = std::make_unique<Computer>(Computer{*parts_, *parts_, *parts_, *parts_, *parts_});
}

FakeComputer::~FakeComputer() = default;

}  // namespace quimbro::test
