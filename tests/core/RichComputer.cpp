#include "core/RichComputer.h"

#include "core/TempFolder.h"
#include "fakes/RegistryFile.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace quimbro::test {

namespace {
const std::string kMeta = "IIS://QUIMBROPC/W3SVC";
const fs::path kData = fs::path(QUIMBRO_EXPECTED_DIR) / "../../data/rich";

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
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

    pc.metabase = {
        {kMeta, {{}, {"1", "Filters", "2", "Info"}}},
        {kMeta + "/Filters", {{{"Name", std::string("Filters")}}, {}}},
        {kMeta + "/Info", {{{"Name", std::string("Info")}}, {}}},
        {kMeta + "/1",
         {{{"Name", std::string("1")},
           {"ServerComment", std::string("Default Web Site")},
           {"ServerBindings", TextList{":80:", "10.0.0.5:8080:intranet"}},
           {"SecureBindings", TextList{":443:"}}},
          {}}},
        {kMeta + "/1/Root",
         {{{"AccessFlags", std::int64_t{513}},
           {"AnonymousUserName", std::string("IUSR_QUIMBROPC")}},
          {"TarnApp", "Scripts"}}},
        {kMeta + "/1/Root/TarnApp",
         {{{"Name", std::string("TarnApp")},
           {"Path", std::string("D:\\Apps\\Vantorel\\jakarta-tomcat\\webapps\\TarnApp")},
           {"AccessFlags", std::int64_t{1}},
           {"EnableDefaultDoc", true},
           {"DefaultDoc", std::string("index.jsp,default.htm")},
           {"AnonymousUserName", std::string("IUSR_QUIMBROPC")}},
          {}}},
        {kMeta + "/1/Root/Scripts",
         {{{"Name", std::string("Scripts")},
           {"Path", std::string("C:\\Inetpub\\scripts")},
           {"AccessFlags", std::int64_t{516}},
           {"EnableDefaultDoc", false},
           {"DefaultDoc", std::string("")},
           {"AnonymousUserName", std::string("IUSR_QUIMBROPC")}},
          {}}},
        {kMeta + "/1/Filters",
         {{{"FilterLoadOrder", std::string("sspifilt,Compression")}}, {"sspifilt", "Compression"}}},
        {kMeta + "/1/Filters/sspifilt",
         {{{"Name", std::string("sspifilt")},
           {"FilterPath", std::string("C:\\WINNT\\System32\\inetsrv\\sspifilt.dll")},
           {"FilterEnabled", true},
           {"FilterState", std::int64_t{1}}},
          {}}},
        {kMeta + "/1/Filters/Compression",
         {{{"Name", std::string("Compression")},
           {"FilterPath", std::string("C:\\WINNT\\System32\\inetsrv\\compfilt.dll")},
           {"FilterEnabled", false},
           {"FilterState", std::int64_t{4}}},
          {}}},
        {kMeta + "/2",
         {{{"Name", std::string("2")},
           {"ServerComment", std::string("Intranet")},
           {"ServerBindings", TextList{":81:"}},
           {"SecureBindings", TextList{}}},
          {}}},
        {kMeta + "/2/Root",
         {{{"AccessFlags", std::int64_t{1}}, {"AnonymousUserName", std::string("IUSR_INTRA")}},
          {}}},
        {kMeta + "/2/Filters", {{{"FilterLoadOrder", std::string("")}}, {}}},
    };
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
