#include "core/RichComputer.h"

#include "core/TempFolder.h"
#include "fakes/RegistryFile.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace quimbro::test {

namespace {
const std::string kIis = "IIS://QUIMBROPC/";
const fs::path kData = fs::path(QUIMBRO_EXPECTED_DIR) / "../../data/rich";

// Every piece of `text` between separators, the last one too (empty after a final separator).
std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + separator.size())
        pieces.push_back(text.substr(start, end - start));
    pieces.push_back(text.substr(start));
    return pieces;
}

// The metabase file: "[path]" opens an object, "name kind value" is one of its properties.
void ReadMetabase(FakeComputer& pc) {
    FakeMetabaseNode* node = nullptr;
    for (const auto& line : ExpectedLines("../../data/rich/iis.metabase")) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            const auto path = line.substr(1, line.size() - 2);
            const auto slash = path.rfind('/');
            if (slash != std::string::npos)
                pc.metabase[kIis + path.substr(0, slash)].children.push_back(
                    path.substr(slash + 1));
            node = &pc.metabase[kIis + path];
            node->properties["Name"] = path.substr(slash + 1);
            continue;
        }
        const auto kindAt = line.find(' ');
        const auto valueAt = line.find(' ', kindAt + 1);
        const auto kind = line.substr(kindAt + 1, valueAt - kindAt - 1);
        const auto text = valueAt == std::string::npos ? "" : line.substr(valueAt + 1);
        auto& value = node->properties[line.substr(0, kindAt)];
        if (kind == "BSTR") value = text;
        if (kind == "I4") value = std::int64_t{std::stoll(text)};
        if (kind == "BOOL") value = text == "true";
        if (kind == "LIST") value = text.empty() ? TextList{} : Split(text, "|");
    }
}
}  // namespace

RichComputer::RichComputer(const fs::path& rootFolder)
    : root(rootFolder),
      desktop(rootFolder / "Users" / "Jo Smith" / "Desktop"),
      products(rootFolder / "Apps" / "Vantorel"),
      pc(rootFolder) {
    fs::create_directories(desktop);
    pc.desktop = desktop.string();
    pc.registry = ReadRegistryFile(kData / "registry.reg");
    pc.processes.emplace();
    pc.administrators.emplace();
    for (const auto& line : ExpectedLines("../../data/rich/computer.txt")) {
        const auto f = Split(line, "\t");
        if (f[0] == "user") pc.userName = f[1];
        if (f[0] == "computer") pc.computerName = f[1];
        if (f[0] == "domain") pc.userDomain = f[1];
        if (f[0] == "process")
            pc.processes->push_back({f[1], static_cast<std::uint32_t>(std::stoul(f[2]))});
        if (f[0] == "administrator") pc.administrators->push_back(f[1]);
        if (f[0] == "environment") pc.environment[f[1]].push_back(f[2]);
        if (f[0] == "product") WriteFile(products / f[1], "contents of " + f[1]);
    }

    ReadMetabase(pc);
}

std::vector<std::string> ExpectedLines(const std::string& name) {
    auto lines = Split(ReadFile(fs::path(QUIMBRO_EXPECTED_DIR) / name), "\n");
    lines.pop_back();
    return lines;
}

std::vector<std::string> ReportLines(const fs::path& file) {
    auto lines = Split(ReadFile(file), "\r\n");
    EXPECT_EQ(lines.back(), "") << "text after the last CR LF in " << file;
    lines.pop_back();
    for (const auto& line : lines) EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    return lines;
}

void ExpectSameLines(const std::vector<std::string>& actual,
                     const std::vector<std::string>& expected) {
    const auto differ =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    EXPECT_TRUE(differ.first == actual.end() && differ.second == expected.end())
        << "first difference at line " << (differ.first - actual.begin()) + 1 << ": "
        << (differ.first == actual.end() ? "<end>" : *differ.first) << " instead of "
        << (differ.second == expected.end() ? "<end>" : *differ.second);
}

}  // namespace quimbro::test
