#include "platform/PortableFileSystem.h"

#include <fstream>
#include <system_error>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"

namespace fs = std::filesystem;

namespace quimbro {

std::string Utf8Name(const fs::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

namespace {

// Library failures become the run's one kind of failure.
template <class F>
auto Translated(F&& operation) -> decltype(operation()) {
    try {
        return operation();
    } catch (const fs::filesystem_error& e) {
        throw PlatformError(e.what());
    } catch (const std::system_error& e) {
        throw PlatformError(e.what());
    }
}

// The entries of the source's folder whose names match its last component; links are
// never among them.
std::vector<FileHost::Entry> Matches(const FileHost& host, const std::string& source) {
    const auto [folder, pattern] = SplitLastComponent(source);
    std::vector<FileHost::Entry> found;
    for (auto& entry : host.List(host.Native(folder.empty() ? std::string(".") : folder)))
        if (!entry.link && MatchesWildcard(pattern, entry.name)) found.push_back(std::move(entry));
    return found;
}

fs::path DestinationFolder(const FileHost& host, const std::string& destination) {
    auto folder = host.Native(destination);
    if (!host.IsFolder(folder)) throw PlatformError("destination folder missing");
    return folder;
}

// Removes what a folder holds, then the folder. Links are removed as links.
void RemoveTree(const FileHost& host, const fs::path& folder) {
    for (const auto& entry : host.List(folder)) {
        if (entry.folder && !entry.link)
            RemoveTree(host, entry.path);
        else
            host.Remove(entry.path);
    }
    host.Remove(folder);
}

// Copies a folder's contents into `to`, which is made when missing. Links are skipped:
// following one could loop, or bring in files from outside the product's folder.
void CopyTree(const FileHost& host, const fs::path& from, const fs::path& to) {
    if (!host.IsFolder(to)) host.MakeFolder(to);
    for (const auto& entry : host.List(from)) {
        if (entry.link) continue;
        const auto target = to / entry.path.filename();
        if (entry.folder)
            CopyTree(host, entry.path, target);
        else
            host.CopyOneFile(entry.path, target);
    }
}

class FileTextStream final : public TextStream {
  public:
    FileTextStream(std::shared_ptr<const FileHost> host, const fs::path& path)
        : host_(std::move(host)), out_(path, std::ios::binary | std::ios::trunc) {
        if (!out_) throw PlatformError("cannot create the text file");
    }

    // Each line goes to the file at once, so a run that is killed keeps what it wrote.
    void WriteLine(const std::string& line) override {
        if (!out_.is_open()) throw PlatformError("the text file is closed");
        out_ << host_->ReportText(line) << "\r\n";
        out_.flush();
        if (!out_) throw PlatformError("cannot write the text file");
    }

    void Close() override {
        if (!out_.is_open()) throw PlatformError("the text file is closed");
        out_.close();
        if (!out_) throw PlatformError("cannot close the text file");
    }

  private:
    std::shared_ptr<const FileHost> host_;
    std::ofstream out_;
};

}  // namespace

bool PortableFileSystem::FolderExists(const std::string& path) {
    return Translated([&] { return host_->IsFolder(host_->Native(path)); });
}

void PortableFileSystem::DeleteFolder(const std::string& path) {
    Translated([&] {
        const auto folder = host_->Native(path);
        if (!host_->IsFolder(folder)) throw PlatformError("no such folder");
        if (host_->IsLink(folder))
            host_->Remove(folder);
        else
            RemoveTree(*host_, folder);
    });
}

void PortableFileSystem::CreateFolder(const std::string& path) {
    Translated([&] { host_->MakeFolder(host_->Native(path)); });
}

void PortableFileSystem::CopyFolder(const std::string& source, const std::string& destination) {
    Translated([&] {
        const auto into = DestinationFolder(*host_, destination);
        bool copied = false;
        for (const auto& match : Matches(*host_, source)) {
            if (!match.folder) continue;
            CopyTree(*host_, match.path, into / match.path.filename());
            copied = true;
        }
        if (!copied) throw PlatformError("no folder matches");
    });
}

void PortableFileSystem::CopyFile(const std::string& source, const std::string& destination) {
    Translated([&] {
        const auto into = DestinationFolder(*host_, destination);
        bool copied = false;
        for (const auto& match : Matches(*host_, source)) {
            if (match.folder) continue;
            host_->CopyOneFile(match.path, into / match.path.filename());
            copied = true;
        }
        if (!copied) throw PlatformError("no file matches");
    });
}

std::unique_ptr<TextStream> PortableFileSystem::CreateTextFile(const std::string& path) {
    return Translated([&] { return std::make_unique<FileTextStream>(host_, host_->Native(path)); });
}

}  // namespace quimbro
