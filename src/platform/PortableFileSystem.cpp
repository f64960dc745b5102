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

bool IsFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// The entries of the source's folder whose names match its last component.
std::vector<fs::path> Matches(const FileHost& host, const std::string& source) {
    const auto [folder, pattern] = SplitLastComponent(source);
    const auto where = host.Native(folder.empty() ? std::string(".") : folder);
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(where))
        if (MatchesWildcard(pattern, Utf8Name(entry.path().filename())))
            found.push_back(entry.path());
    return found;
}

fs::path DestinationFolder(const FileHost& host, const std::string& destination) {
    auto folder = host.Native(destination);
    if (!IsFolder(folder)) throw PlatformError("destination folder missing");
    return folder;
}

// Copies a folder's contents into `to`, which is created when missing. Links are skipped:
// following one could loop, or bring in files from outside the product's folder.
void CopyTree(const FileHost& host, const fs::path& from, const fs::path& to) {
    if (!IsFolder(to)) fs::create_directory(to);
    for (const auto& entry : fs::directory_iterator(from)) {
        const auto& path = entry.path();
        if (host.IsLink(path)) continue;
        if (IsFolder(path))
            CopyTree(host, path, to / path.filename());
        else if (entry.is_regular_file())
            fs::copy_file(path, to / path.filename(), fs::copy_options::overwrite_existing);
    }
}

class FileTextStream final : public TextStream {
  public:
    FileTextStream(const FileHost& host, const fs::path& path)
        : host_(host), out_(path, std::ios::binary | std::ios::trunc) {
        if (!out_) throw PlatformError("cannot create the text file");
    }

    // Each line goes to the file at once, so a run that is killed keeps what it wrote.
    void WriteLine(const std::string& line) override {
        if (!out_.is_open()) throw PlatformError("the text file is closed");
        out_ << host_.ReportText(line) << "\r\n";
        out_.flush();
        if (!out_) throw PlatformError("cannot write the text file");
    }

    void Close() override {
        if (!out_.is_open()) throw PlatformError("the text file is closed");
        out_.close();
        if (!out_) throw PlatformError("cannot close the text file");
    }

  private:
    const FileHost& host_;
    std::ofstream out_;
};

}  // namespace

bool PortableFileSystem::FolderExists(const std::string& path) {
    return Translated([&] { return IsFolder(host_.Native(path)); });
}

void PortableFileSystem::DeleteFolder(const std::string& path) {
    Translated([&] {
        const auto folder = host_.Native(path);
        if (host_.IsLink(folder)) return host_.RemoveLink(folder);
        if (!IsFolder(folder)) throw PlatformError("no such folder");
        // remove_all removes links it meets and never descends into them.
        fs::remove_all(folder);
    });
}

void PortableFileSystem::CreateFolder(const std::string& path) {
    Translated([&] {
        if (!fs::create_directory(host_.Native(path))) throw PlatformError("folder exists");
    });
}

void PortableFileSystem::CopyFolder(const std::string& source, const std::string& destination) {
    Translated([&] {
        const auto into = DestinationFolder(host_, destination);
        bool copied = false;
        for (const auto& match : Matches(host_, source)) {
            if (host_.IsLink(match) || !IsFolder(match)) continue;
            CopyTree(host_, match, into / match.filename());
            copied = true;
        }
        if (!copied) throw PlatformError("no folder matches");
    });
}

void PortableFileSystem::CopyFile(const std::string& source, const std::string& destination) {
    Translated([&] {
        const auto into = DestinationFolder(host_, destination);
        bool copied = false;
        for (const auto& match : Matches(host_, source)) {
            std::error_code ec;
            if (!fs::is_regular_file(match, ec)) continue;
            fs::copy_file(match, into / match.filename(), fs::copy_options::overwrite_existing);
            copied = true;
        }
        if (!copied) throw PlatformError("no file matches");
    });
}

std::unique_ptr<TextStream> PortableFileSystem::CreateTextFile(const std::string& path) {
    return Translated([&] { return std::make_unique<FileTextStream>(host_, host_.Native(path)); });
}

}  // namespace quimbro
