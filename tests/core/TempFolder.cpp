#include "core/TempFolder.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace quimbro::test {

TempFolder::TempFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("quimbro-test-" + std::to_string(random()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> TreeOf(const fs::path& root) {
    std::vector<std::string> tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const bool folder = it->is_directory() && !it->is_symlink();
        tree.push_back(fs::relative(it->path(), root).generic_string() + (folder ? "/" : ""));
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}

}  // namespace quimbro::test
