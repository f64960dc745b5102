#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quimbro::test {

// A fresh folder for one test, removed afterwards.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);

// Every file and folder below `root`, as relative paths with "/" and a trailing "/" for
// folders, sorted.
std::vector<std::string> TreeOf(const std::filesystem::path& root);

}  // namespace quimbro::test
