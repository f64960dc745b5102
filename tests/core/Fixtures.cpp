#include "core/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace quimbro::test {

namespace {

const fs::path kData = QUIMBRO_DATA_DIR;
const std::string kIis = "IIS://QUIMBROPC/";

// A REGEDIT4 value: a quoted text, dword: or hex(2): text as stored in the ANSI code page,
// ending in a NUL.
Value RegistryValue(const std::string& data) {
    if (data.starts_with("dword:")) return std::int64_t{std::stoll(data.substr(6), nullptr, 16)};
    std::string text;
    if (data.starts_with("hex(2):")) {
        for (const auto& byte : Split(data.substr(7), ","))
            text += static_cast<char>(std::stoi(byte, nullptr, 16));
        text.pop_back();
        return text;
    }
    for (std::size_t at = 1; at + 1 < data.size(); ++at)
        text += data[at] == '\\' ? data[++at] : data[at];
    return text;
}

// The values of rich/registry.reg, a REGEDIT4 file, by their script-host path ("HKLM\key\name",
// "HKLM\key\" for the default value).
void ReadRegistry(FakeComputer& pc) {
    std::string key;
    for (const auto& row : Table("rich/registry.reg")) {
        const auto& line = row[0];
        const auto name = line.find("\"=");
        if (line.starts_with("[HKEY_"))
            key = (line.starts_with("[HKEY_LOCAL_MACHINE") ? "HKLM" : "HKCU") +
                  line.substr(line.find('\\'), line.size() - line.find('\\') - 1) + "\\";
        else if (line.starts_with("@="))
            pc.registry[key] = RegistryValue(line.substr(2));
        else if (line.starts_with('"') && !line.ends_with("\"=-"))  // "name"=- deletes
            pc.registry[key + line.substr(1, name - 1)] = RegistryValue(line.substr(name + 2));
    }
}

// The metabase file: "[path]" opens an object, "name kind value" is one of its properties.
void ReadMetabase(FakeComputer& pc) {
    FakeMetabaseNode* node = nullptr;
    for (const auto& row : Table("rich/iis.metabase")) {
        const auto& line = row[0];
        if (!line.starts_with('[')) {
            SetProperty(*node, line);
            continue;
        }
        const auto path = line.substr(1, line.size() - 2);
        const auto slash = path.rfind('/');
        if (slash != std::string::npos)
            pc.metabase[kIis + path.substr(0, slash)].children.push_back(path.substr(slash + 1));
        node = &pc.metabase[kIis + path];
        node->properties["Name"] = path.substr(slash + 1);
    }
}

}  // namespace

TempFolder::TempFolder() {
    path_ = fs::temp_directory_path() / ("quimbro-test-" + std::to_string(std::random_device()()));
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
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

Lines TreeOf(const fs::path& root) {
    Lines tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const bool folder = entry.is_directory() && !entry.is_symlink();
        tree.push_back(fs::relative(entry.path(), root).generic_string() + (folder ? "/" : ""));
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}

fs::path DataFile(const std::string& name) {
    return kData / name;
}

std::vector<Lines> Table(const std::string& name) {
    auto rows = Rows(ReadFile(kData / name));
    EXPECT_FALSE(rows.empty()) << "no table " << name;
    return rows;
}

void SetProperty(FakeMetabaseNode& node, const std::string& line) {
    const auto space = line.find(' ');
    if (space == std::string::npos)
        node.properties.erase(line);
    else
        node.properties[line.substr(0, space)] = ValueOf(line.substr(space + 1));
}

Lines ExpectedLines(const std::string& name) {
    auto lines = Split(ReadFile(fs::path(QUIMBRO_EXPECTED_DIR) / name), "\n");
    lines.pop_back();
    return lines;
}

Lines ReportLines(const fs::path& file) {
    auto lines = Split(ReadFile(file), "\r\n");
    EXPECT_EQ(lines.back(), "") << "text after the last CR LF in " << file;
    lines.pop_back();
    for (const auto& line : lines) EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    return lines;
}

void ExpectSameLines(const Lines& actual, const Lines& expected) {
    const auto text = [](const Lines& lines) {
        std::string joined;
        for (const auto& line : lines) joined += line + "\n";
        return joined;
    };
    EXPECT_EQ(text(actual), text(expected));
}

RichComputer::RichComputer(const fs::path& rootFolder)
    : root(rootFolder), desktop(rootFolder / "Users" / "Jo Smith" / "Desktop"), pc(rootFolder) {
    fs::create_directories(desktop);
    pc.desktop = desktop.string();
    ReadRegistry(pc);
    pc.processes.emplace();
    pc.administrators.emplace();
    for (const auto& f : Table("rich/computer.txt")) {
        if (f[0] == "user") pc.userName = f[1];
        if (f[0] == "computer") pc.computerName = f[1];
        if (f[0] == "domain") pc.userDomain = f[1];
        if (f[0] == "process")
            pc.processes->push_back({f[1], static_cast<std::uint32_t>(std::stoul(f[2]))});
        if (f[0] == "administrator") pc.administrators->push_back(f[1]);
        if (f[0] == "environment") pc.environment[f[1]].push_back(f[2]);
        if (f[0] == "product") WriteFile(root / "Apps/Vantorel" / f[1], "contents of " + f[1]);
    }
    ReadMetabase(pc);
}

}  // namespace quimbro::test
