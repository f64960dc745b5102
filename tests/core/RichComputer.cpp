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

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
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
        if (kind == "LIST") {
            TextList list;
            for (std::size_t start = 0; start < text.size();) {
                const auto bar = std::min(text.find('|', start), text.size());
                list.push_back(text.substr(start, bar - start));
                start = bar + 1;
            }
            value = list;
        }
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
        const auto f = Fields(line);
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
    const auto text = ReadFile(fs::path(QUIMBRO_EXPECTED_DIR) / name);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> ReportLines(const fs::path& file) {
    const auto text = ReadFile(file);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF in " << file;
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
